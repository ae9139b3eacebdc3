#include "CUSBChannel.h"

#include "Pacing.h"

namespace {
constexpr std::chrono::milliseconds kControlPause{10};
} // namespace

CUSBChannel::~CUSBChannel() = default;

bool CUSBChannel::openTester(HidBus& bus, std::optional<int>* notAccessible)
{
    std::lock_guard composite(compositeLock);
    std::lock_guard transaction(transactionLock);
    HidFindResult found = FindTester(bus);
    if (notAccessible != nullptr)
        *notAccessible =
            found.code == HID_NOT_ACCESSIBLE ? std::optional<int>(found.openError) : std::nullopt;
    if (!found.handle)
        return false;
    replaceHandle(std::move(found.handle));
    resetLink();
    return true;
}

void CUSBChannel::attach(std::unique_ptr<HidHandle> handle)
{
    std::lock_guard composite(compositeLock);
    std::lock_guard transaction(transactionLock);
    replaceHandle(std::move(handle));
    resetLink();
}

void CUSBChannel::detach()
{
    attach(nullptr);
}

CUSBChannel::CommandGuard::CommandGuard(CUSBChannel& channel) : channel_(channel)
{
    std::lock_guard composite(channel_.compositeLock);
    channel_.commandsRunning_.fetch_add(1, std::memory_order_acq_rel);
}

CUSBChannel::CommandGuard::~CommandGuard()
{
    channel_.commandsRunning_.fetch_sub(1, std::memory_order_acq_rel);
}

FirmwareInfo CUSBChannel::firmwareInfo() const
{
    std::lock_guard lock(firmwareMutex_);
    return firmwareInfo_;
}

void CUSBChannel::setFirmwareInfo(const FirmwareInfo& info)
{
    std::lock_guard lock(firmwareMutex_);
    firmwareInfo_ = info;
}

bool CUSBChannel::setControlByte(int index, std::uint8_t value)
{
    std::lock_guard composite(compositeLock);
    std::lock_guard transaction(transactionLock);
    using Clock = std::chrono::steady_clock;
    pacing::sleepUntil(Clock::now() + kControlPause);
    Payload control{};
    if (!ReadControl(control))
        return false; // never write back a control block made of another reply's bytes
    if (index >= 0 && index < static_cast<int>(control.size()))
        control[static_cast<std::size_t>(index)] = value;
    pacing::sleepUntil(Clock::now() + kControlPause);
    return WriteControl(control);
}

bool CUSBChannel::readIdentity(Payload& block)
{
    std::lock_guard composite(compositeLock);
    if (!ReadBlock(storage::IDENTITY_BLOCK, block))
        return false;
    rememberIdentity(block);
    return true;
}

std::string identityText(const Payload& block, int offset)
{
    std::string text;
    for (int at = offset; at < offset + storage::kIdentityTextSize && at < static_cast<int>(block.size());
         ++at) {
        const auto c = static_cast<char>(block[static_cast<std::size_t>(at)]);
        if (c == '\0')
            break;
        text.push_back(c);
    }
    return text;
}
