#include "SimHead.h"

#include "DemoSetup.h"
#include "device/CUSBHardWare.h"
#include "device/DeviceIds.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::size_t kReceivedLimit = 100000;

std::u16string widen(const char* text)
{
    const std::string narrow(text);
    return {narrow.begin(), narrow.end()};
}

} // namespace

// A handle on a simulated head. It shares ownership of the head, so it stays safe to use
// after the bus is gone; it simply reports the device as dead then.
class SimHeadHandle final : public HidHandle {
public:
    SimHeadHandle(std::shared_ptr<SimHead> head, SimHead::Port port) : head_(std::move(head)), port_(port) {}
    ~SimHeadHandle() override { head_->closePort(port_); }
    SimHeadHandle(const SimHeadHandle&) = delete;
    SimHeadHandle& operator=(const SimHeadHandle&) = delete;

    std::string path() const override { return head_->path(); }

    bool attributes(std::uint16_t& vendorId, std::uint16_t& productId) override
    {
        if (!head_->portAlive(port_))
            return false;
        vendorId = tester::kVendorId;
        productId = tester::kProductId;
        return true;
    }
    bool manufacturerString(std::u16string& text) override
    {
        if (!head_->portAlive(port_))
            return false;
        text = widen(tester::kManufacturer);
        return true;
    }
    bool productString(std::u16string& text) override
    {
        if (!head_->portAlive(port_))
            return false;
        text = widen(tester::kProduct);
        return true;
    }

    bool write(const std::uint8_t* data, std::size_t length) override
    {
        Report report{};
        std::copy_n(data, std::min(length, report.size()), report.begin());
        return head_->write(port_, report);
    }
    int read(std::uint8_t* data, std::size_t length, int timeoutMs) override
    {
        return head_->read(port_, data, length, timeoutMs);
    }

private:
    std::shared_ptr<SimHead> head_;
    SimHead::Port port_;
};

SimHead::SimHead(std::string path)
    : path_(std::move(path)), protocol_(CUSBHardWare::patchSignature()),
      presenceThread_([this] { runPresenceThread(); })
{
    std::lock_guard lock(mutex_);
    ::loadDemoSetup(state_, 2, 2, 40);
}

SimHead::~SimHead()
{
    shutdown();
}

void SimHead::shutdown()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        presenceListener_ = nullptr;
        returnAt_.reset();
        if (onBus_)
            leaveLocked();
    }
    presenceWake_.notify_all();
    if (presenceThread_.joinable())
        presenceThread_.join();
}

// --- Recorded reports ---------------------------------------------------------------------

std::vector<SimHead::Received> SimHead::received() const
{
    std::lock_guard lock(mutex_);
    return {received_.begin(), received_.end()};
}

void SimHead::clearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
}

// --- Stored data --------------------------------------------------------------------------

Payload SimHead::block(std::uint8_t n) const
{
    std::lock_guard lock(mutex_);
    return state_.blocks[n];
}

void SimHead::setBlock(std::uint8_t n, const Payload& data)
{
    std::lock_guard lock(mutex_);
    state_.blocks[n] = data;
}

std::vector<std::uint8_t> SimHead::memory(std::uint16_t address, int length) const
{
    std::lock_guard lock(mutex_);
    const int count = std::clamp(length, 0, HeadState::kMemorySize - address);
    const auto begin = state_.memory.begin() + address;
    return {begin, begin + count};
}

void SimHead::setMemory(std::uint16_t address, const std::uint8_t* data, int length)
{
    std::lock_guard lock(mutex_);
    const int count = std::clamp(length, 0, HeadState::kMemorySize - address);
    std::copy_n(data, count, state_.memory.begin() + address);
}

Payload SimHead::controlBlock() const
{
    std::lock_guard lock(mutex_);
    return state_.control;
}

void SimHead::setControlBlock(const Payload& data)
{
    std::lock_guard lock(mutex_);
    state_.control = data;
}

std::string SimHead::lcdLine(int line) const
{
    std::lock_guard lock(mutex_);
    return line == 0 || line == 1 ? state_.lcd[line] : std::string();
}

FirmwareInfo SimHead::firmwareInfo() const
{
    std::lock_guard lock(mutex_);
    return state_.firmware;
}

void SimHead::setFirmwareInfo(const FirmwareInfo& info)
{
    std::lock_guard lock(mutex_);
    state_.firmware = info;
}

void SimHead::setFirmwareVersion(std::uint16_t version)
{
    std::lock_guard lock(mutex_);
    state_.firmware.bytes[1] = static_cast<std::uint8_t>(version & 0xFF);
    state_.firmware.bytes[2] = static_cast<std::uint8_t>(version >> 8);
}

void SimHead::setHardwareKind(bool hardware)
{
    std::lock_guard lock(mutex_);
    std::uint8_t& kind = state_.firmware.bytes[0];
    kind = static_cast<std::uint8_t>((kind & 0x0F) | (hardware ? 0x00 : 0x10));
}

void SimHead::setExpansionBoard(int index, std::uint8_t address, std::uint16_t firmwareVersion)
{
    if (index < 0 || index >= HeadState::kExpansionBoards)
        return;
    std::lock_guard lock(mutex_);
    state_.expansionBoards[index] = HeadState::ExpansionBoard{address, firmwareVersion};
}

void SimHead::setPanel(std::uint8_t address, int port, std::vector<std::uint16_t> baseCounts, int noise)
{
    std::lock_guard lock(mutex_);
    const auto seed = static_cast<std::uint32_t>(address * HeadState::kPortsPerBoard + port + 1);
    state_.panelAt(address, port) = PanelModel(std::move(baseCounts), noise, seed);
}

void SimHead::setChannelDefect(std::uint8_t address, int port, int channel, std::uint16_t count)
{
    std::lock_guard lock(mutex_);
    state_.panelAt(address, port).setDefect(channel, count);
}

void SimHead::loadDemoSetup(int rows, int cols, int channels)
{
    std::lock_guard lock(mutex_);
    ::loadDemoSetup(state_, rows, cols, channels);
}

void SimHead::clearSetup()
{
    std::lock_guard lock(mutex_);
    state_.blocks = {};
    state_.memory.assign(HeadState::kMemorySize, 0);
    state_.expansionBoards = {};
    state_.panels.clear();
    state_.selection.reset();
}

// --- Faults -------------------------------------------------------------------------------

void SimHead::setNoReply(bool on)
{
    std::lock_guard lock(mutex_);
    noReply_ = on;
}

void SimHead::setReplyDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    replyDelay_ = std::max(delay, std::chrono::milliseconds(0));
}

void SimHead::vanishAfterReports(int n)
{
    std::lock_guard lock(mutex_);
    vanishCountdown_ = std::max(n, 0);
}

void SimHead::dropReplyTo(std::uint8_t command, std::optional<std::uint16_t> address)
{
    std::lock_guard lock(mutex_);
    replyDrops_.push_back({command, address});
}

bool SimHead::takeReplyDrop(const HeadProtocol::Outcome& outcome)
{
    if (outcome.command == 0)
        return false;
    const auto match = std::find_if(replyDrops_.begin(), replyDrops_.end(), [&](const ReplyDrop& d) {
        return d.command == outcome.command && (!d.address || *d.address == outcome.address);
    });
    if (match == replyDrops_.end())
        return false;
    replyDrops_.erase(match);
    return true;
}

void SimHead::setZeroCounts(bool on)
{
    std::lock_guard lock(mutex_);
    state_.zeroCounts = on;
}

void SimHead::setRestartDelay(std::chrono::milliseconds delay)
{
    std::lock_guard lock(mutex_);
    restartDelay_ = std::max(delay, std::chrono::milliseconds(0));
}

int SimHead::restartCount() const
{
    std::lock_guard lock(mutex_);
    return restartCount_;
}

// --- Presence on the bus ------------------------------------------------------------------

std::unique_ptr<HidHandle> SimHead::openHandle(const std::shared_ptr<SimHead>& head)
{
    const std::optional<Port> port = head->openPort();
    if (!port)
        return nullptr;
    return std::make_unique<SimHeadHandle>(head, *port);
}

bool SimHead::onBus() const
{
    std::lock_guard lock(mutex_);
    return onBus_;
}

void SimHead::unplug()
{
    {
        std::lock_guard lock(mutex_);
        returnAt_.reset();
        if (onBus_) {
            leaveLocked();
            presenceEvents_.push_back(false);
        }
    }
    deliverPresenceEvents();
}

void SimHead::plug()
{
    {
        std::lock_guard lock(mutex_);
        returnAt_.reset();
        if (!onBus_ && !stopping_) {
            onBus_ = true;
            presenceEvents_.push_back(true);
        }
    }
    deliverPresenceEvents();
}

void SimHead::deliverPresenceEvents()
{
    std::lock_guard delivery(deliveryMutex_);
    for (;;) {
        bool arrived = false;
        std::function<void(bool)> listener;
        {
            std::lock_guard lock(mutex_);
            if (presenceEvents_.empty())
                return;
            arrived = presenceEvents_.front();
            presenceEvents_.pop_front();
            listener = presenceListener_;
        }
        if (listener)
            listener(arrived);
    }
}

void SimHead::setPresenceListener(std::function<void(bool)> listener)
{
    std::lock_guard lock(mutex_);
    presenceListener_ = std::move(listener);
}

void SimHead::leaveLocked()
{
    // Everything in flight is lost: open handles, queued replies, a half-received frame and
    // the port selection.
    onBus_ = false;
    ++epoch_;
    replyQueues_.clear();
    protocol_.reset();
    state_.selection.reset();
    state_.busRequest = {};
    replyReady_.notify_all();
}

void SimHead::runPresenceThread()
{
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!presenceEvents_.empty()) {
            lock.unlock();
            deliverPresenceEvents();
            lock.lock();
        } else if (returnAt_ && std::chrono::steady_clock::now() >= *returnAt_) {
            returnAt_.reset();
            if (!onBus_) {
                onBus_ = true;
                presenceEvents_.push_back(true);
            }
        } else if (returnAt_) {
            presenceWake_.wait_until(lock, *returnAt_);
        } else {
            presenceWake_.wait(lock);
        }
    }
}

// --- The wire -----------------------------------------------------------------------------

std::optional<SimHead::Port> SimHead::openPort()
{
    std::lock_guard lock(mutex_);
    if (!onBus_)
        return std::nullopt;
    const Port port{nextPortId_++, epoch_};
    replyQueues_[port.id];
    return port;
}

void SimHead::closePort(const Port& port)
{
    std::lock_guard lock(mutex_);
    replyQueues_.erase(port.id);
}

bool SimHead::portAlive(const Port& port) const
{
    std::lock_guard lock(mutex_);
    return portAliveLocked(port);
}

bool SimHead::portAliveLocked(const Port& port) const
{
    return onBus_ && port.epoch == epoch_ && replyQueues_.count(port.id) != 0;
}

bool SimHead::write(const Port& port, const Report& report)
{
    std::lock_guard lock(mutex_);
    if (!portAliveLocked(port))
        return false;
    const auto now = std::chrono::steady_clock::now();
    received_.push_back({now, report});
    if (received_.size() > kReceivedLimit)
        received_.pop_front();

    const HeadProtocol::Outcome outcome = protocol_.receive(report, state_);
    if (!noReply_ && !takeReplyDrop(outcome)) {
        // Like hidraw, every open handle gets its own copy of each input report.
        for (auto& [id, queue] : replyQueues_) {
            for (const Report& reply : outcome.replies)
                queue.push_back({now + replyDelay_, reply});
        }
    }
    if (outcome.restart)
        ++restartCount_;
    const bool vanish = vanishCountdown_ > 0 && --vanishCountdown_ == 0;
    if (vanish || outcome.restart) {
        leaveLocked();
        presenceEvents_.push_back(false);
        if (!vanish)
            returnAt_ = now + restartDelay_;
        presenceWake_.notify_all();
    }
    replyReady_.notify_all();
    return true;
}

int SimHead::read(const Port& port, std::uint8_t* data, std::size_t length, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const bool forever = timeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));

    std::unique_lock lock(mutex_);
    for (;;) {
        if (!portAliveLocked(port))
            return -1;
        std::deque<PendingReply>& queue = replyQueues_[port.id];
        const auto now = Clock::now();
        if (!queue.empty() && queue.front().readyAt <= now) {
            Report report = queue.front().report;
            queue.pop_front();
            report[0] = 0;
            const std::size_t count = std::min(length, report.size());
            std::copy_n(report.begin(), count, data);
            return static_cast<int>(count);
        }
        if (!forever && now >= deadline)
            return 0;
        auto wakeAt = forever ? Clock::time_point::max() : deadline;
        if (!queue.empty())
            wakeAt = std::min(wakeAt, queue.front().readyAt);
        if (wakeAt == Clock::time_point::max())
            replyReady_.wait(lock);
        else
            replyReady_.wait_until(lock, wakeAt);
    }
}
