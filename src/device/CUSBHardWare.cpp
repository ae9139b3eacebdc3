#include "CUSBHardWare.h"

#include "DeviceIds.h"
#include "StorageMap.h"

#include <algorithm>
#include <cstdio>
#include <thread>

Report headerReport(std::uint8_t code)
{
    Report report{};
    report[1] = 0xAA;
    report[2] = 0x55;
    report[3] = code;
    return report;
}

namespace {

Report parameterReport(std::initializer_list<std::uint8_t> bytes)
{
    Report report{};
    std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
    return report;
}

Report dataReport(const std::uint8_t* data, std::size_t length)
{
    Report report{};
    std::copy_n(data, std::min(length, kPayloadSize), report.begin() + 1);
    return report;
}

// The parameter report BusRead and BusWrite send after their header.
Report busParameterReport()
{
    return parameterReport({0x20, 0x00, 0x02, 0x01, 0x01});
}

constexpr std::chrono::milliseconds kWriteMemoryHold{10};

} // namespace

std::string CUSBHardWare::patchSignature()
{
    char text[16];
    std::snprintf(text, sizeof text, "%s%08u", tester::kPatchSignatureLetters,
                  static_cast<unsigned>(tester::kPatchSignatureNumber % 100000000U));
    return text;
}

// ---- link state ------------------------------------------------------------------------------

std::optional<Payload> CUSBHardWare::knownIdentity() const
{
    std::lock_guard lock(identityMutex_);
    return knownIdentity_;
}

void CUSBHardWare::rememberIdentity(const Payload& identity)
{
    std::lock_guard lock(identityMutex_);
    if (!knownIdentity_)
        knownIdentity_ = identity;
}

void CUSBHardWare::resetLink()
{
    {
        std::lock_guard lock(identityMutex_);
        knownIdentity_.reset();
    }
    noteReply();
    inStep_.store(true, std::memory_order_release);
}

void CUSBHardWare::noteReply()
{
    lastReplyAt_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                       std::memory_order_relaxed);
}

void CUSBHardWare::loseStep()
{
    if (inStep_.exchange(false, std::memory_order_acq_rel) && trace())
        trace()->note("out of step: a reply is missing");
}

bool CUSBHardWare::resynchronise()
{
    std::lock_guard lock(transactionLock);
    return inStep() || tryResynchronise();
}

bool CUSBHardWare::askIdentity(Payload& identity)
{
    const Report request[] = {headerReport(kReadBlock), parameterReport({storage::IDENTITY_BLOCK, 0x40})};
    for (const Report& r : request)
        if (!writeReport(r))
            return false;
    Report reply{};
    if (readReportInto(reply, replyTimeout()) != ReadResult::Received)
        return false;
    noteReply();
    std::copy_n(reply.begin() + 1, kPayloadSize, identity.begin());
    return true;
}

bool CUSBHardWare::tryResynchronise()
{
    if (!hasDevice() || cancelRequested())
        return false;
    if (drainUntilQuiet(kSettleTime, replyTimeout()) < 0)
        return false;
    Payload answer{};
    if (!askIdentity(answer))
        return false;
    if (const std::optional<Payload> known = knownIdentity()) {
        if (answer != *known)
            return false; // another request's late reply: drained next time
    } else {
        // Nothing known yet (the link was lost before the identity was first read): two equal
        // answers in a row stand for it.
        Payload again{};
        if (!askIdentity(again) || again != answer)
            return false;
        rememberIdentity(answer);
    }
    // A report right behind the answer means the answer itself may have been a late one.
    if (drainUntilQuiet(kSettleTime, replyTimeout()) != 0)
        return false;
    inStep_.store(true, std::memory_order_release);
    if (trace())
        trace()->note("in step again");
    return true;
}

// ---- transactions --------------------------------------------------------------------------

template <typename OnReply>
bool CUSBHardWare::transact(const Report* reports, int reportCount, int replies, OnReply&& onReply)
{
    std::lock_guard lock(transactionLock);
    // A cancelled worker and an out-of-step link that cannot be brought back write nothing.
    bool complete = hasDevice() && !cancelRequested() && (inStep() || tryResynchronise());
    if (complete) {
        discardLateReplies();
        for (int i = 0; i < reportCount; ++i)
            complete = writeReport(reports[i]) && complete;
        if (!complete)
            loseStep(); // the head may hold half a frame
    }
    // Once a reply is missing the rest are not waited for; the link re-synchronises before the
    // next request.
    for (int r = 0; r < replies; ++r) {
        if (complete) {
            complete = readReport() == ReadResult::Received;
            if (complete)
                noteReply();
            else
                loseStep();
        }
        onReply(r, replyBuffer);
    }
    return complete;
}

bool CUSBHardWare::transact(const Report* reports, int reportCount)
{
    return transact(reports, reportCount, 0, [](int, const Report&) {});
}

bool CUSBHardWare::BusRead(std::uint8_t& high, std::uint8_t& low, std::uint8_t* status)
{
    const Report out[] = {headerReport(kBusRead), busParameterReport()};
    return transact(out, 2, 2, [&](int r, const Report& reply) {
        if (r == 0) {
            high = reply[1];
            low = reply[2];
        } else if (status != nullptr) {
            *status = reply[1];
        }
    });
}

bool CUSBHardWare::BusWrite(std::uint8_t first, std::uint8_t second, std::uint8_t* status)
{
    const Report out[] = {headerReport(kBusWrite), busParameterReport(), parameterReport({first, second})};
    return transact(out, 3, 1, [&](int, const Report& reply) {
        if (status != nullptr)
            *status = reply[1];
    });
}

bool CUSBHardWare::QueryStatus(int& status)
{
    const Report out[] = {headerReport(kQueryStatus), parameterReport({0x01})};
    return transact(out, 2, 1, [&](int, const Report& reply) { status = (reply[1] >> 2) & 3; });
}

bool CUSBHardWare::WriteBlock(std::uint8_t block, const Payload& data)
{
    const Report out[] = {headerReport(kWriteBlock), parameterReport({block}),
                          dataReport(data.data(), data.size())};
    return transact(out, 3);
}

bool CUSBHardWare::ReadBlock(std::uint8_t block, Payload& data)
{
    const Report out[] = {headerReport(kReadBlock), parameterReport({block, 0x40})};
    return transact(out, 2, 1, [&](int, const Report& reply) {
        std::copy_n(reply.begin() + 1, kPayloadSize, data.begin());
    });
}

bool CUSBHardWare::WriteMemory(std::uint16_t address, std::uint8_t length, const std::uint8_t* data)
{
    const auto high = static_cast<std::uint8_t>(address >> 8);
    const auto low = static_cast<std::uint8_t>(address & 0xFF);
    const Report out[] = {headerReport(kWriteMemory), parameterReport({high, low, length}),
                          dataReport(data, length)};
    std::lock_guard lock(transactionLock);
    const bool complete = transact(out, 3);
    // The head needs time to store the data before the next request.
    std::this_thread::sleep_for(kWriteMemoryHold);
    return complete;
}

bool CUSBHardWare::ReadMemory(std::uint16_t address, std::uint8_t length, std::uint8_t* data)
{
    const auto high = static_cast<std::uint8_t>(address >> 8);
    const auto low = static_cast<std::uint8_t>(address & 0xFF);
    const Report out[] = {headerReport(kReadMemory), parameterReport({high, low, length})};
    return transact(out, 2, 1, [&](int, const Report& reply) {
        std::copy_n(reply.begin() + 1, std::min<std::size_t>(length, kPayloadSize), data);
    });
}

bool CUSBHardWare::ReadControl(Payload& data)
{
    const Report out[] = {headerReport(kReadControl)};
    return transact(out, 1, 1, [&](int, const Report& reply) {
        std::copy_n(reply.begin() + 1, kPayloadSize, data.begin());
    });
}

bool CUSBHardWare::WriteControl(const Payload& data)
{
    const Report out[] = {headerReport(kWriteControl), dataReport(data.data(), data.size())};
    return transact(out, 2, 1, [](int, const Report&) {});
}

bool CUSBHardWare::ReadCounts(std::uint8_t n, std::uint8_t p1, std::uint8_t p2, CountsBuffer& counts)
{
    const Report out[] = {parameterReport({0xAA, 0x55, kReadCounts, 0x20, n, 0x55, 0xAA, p1, p2})};
    // Every reply the head sends is read to keep request and reply in step; the buffer keeps
    // the two that 64 channels need.
    return transact(out, 1, countReports(n), [&](int r, const Report& reply) {
        if (static_cast<std::size_t>(r + 1) * kPayloadSize <= counts.size())
            std::copy_n(reply.begin() + 1, kPayloadSize, counts.begin() + r * kPayloadSize);
    });
}

bool CUSBHardWare::PatchBlock(std::uint8_t block, std::uint8_t offset, std::uint8_t value, std::uint8_t mask)
{
    Report out = parameterReport({0xAA, 0x55, kPatchBlock, block, offset, value, mask});
    const std::string signature = patchSignature();
    std::copy_n(signature.begin(), std::min<std::size_t>(signature.size(), 10), out.begin() + 8);
    return transact(&out, 1);
}

bool CUSBHardWare::SelectPort(std::uint8_t address, std::uint8_t bits)
{
    const Report out = parameterReport({0xAA, 0x55, kSelectPort, address, bits});
    return transact(&out, 1);
}

bool CUSBHardWare::ShowText(std::string_view text)
{
    static constexpr std::string_view kFirstLine = " SENSOR TESTER  ";
    Report out = parameterReport({0xAA, 0x55, kShowText});
    std::copy(kFirstLine.begin(), kFirstLine.end(), out.begin() + 9);
    out[25] = 0;
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 16), out.begin() + 26);
    return transact(&out, 1);
}

bool CUSBHardWare::Restart()
{
    const Report out = headerReport(kRestart);
    return transact(&out, 1);
}

bool CUSBHardWare::ReadFirmwareInfo(FirmwareInfo& info)
{
    const Report out = headerReport(kReadFirmwareInfo);
    return transact(&out, 1, 1, [&](int, const Report& reply) {
        std::copy_n(reply.begin() + 1, FirmwareInfo::kSize, info.bytes.begin());
    });
}
