#include "hiddata.h"

#include "DeviceIds.h"

#include <algorithm>
#include <cstring>

std::string narrowUtf16(const std::u16string& text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t unit : text)
        narrow.push_back(unit < 256 ? static_cast<char>(unit) : '?');
    return narrow;
}

namespace {

// Compares a device string with the expected text after narrowing; the comparison stops at the
// first NUL of either side, as a C string comparison would.
bool sameText(const std::u16string& deviceText, const char* expected)
{
    const std::string narrow = narrowUtf16(deviceText);
    return std::strcmp(narrow.c_str(), expected) == 0;
}

} // namespace

HidFindResult FindHidDevice(HidBus& bus, std::uint16_t vendorId, const char* manufacturer,
                            std::uint16_t productId, const char* product)
{
    int result = HID_NOT_FOUND;
    int notAccessibleError = -1; // >= 0 once an interface with the ids failed to open
    for (const std::string& path : bus.enumerate()) {
        int openError = 0;
        std::unique_ptr<HidHandle> handle = bus.tryOpen(path, openError);
        if (!handle) {
            // Kept by the system (keyboards and the like), unless the system lists it with our
            // ids: then it is a head the station may not use, which the operator can mend.
            std::uint16_t vid = 0;
            std::uint16_t pid = 0;
            if (notAccessibleError < 0 && bus.listedIds(path, vid, pid) && vid == vendorId &&
                pid == productId)
                notAccessibleError = openError;
            continue;
        }

        std::uint16_t vid = 0;
        std::uint16_t pid = 0;
        if (!handle->attributes(vid, pid) || vid != vendorId || pid != productId)
            continue;

        result = HID_NOT_FOUND;
        if (manufacturer == nullptr || product == nullptr)
            return {HID_FOUND, std::move(handle)};

        std::u16string text;
        if (!handle->manufacturerString(text)) {
            result = HID_STRING_UNREADABLE;
            continue;
        }
        if (!sameText(text, manufacturer))
            continue;

        text.clear();
        if (!handle->productString(text)) {
            result = HID_STRING_UNREADABLE;
            continue;
        }
        if (sameText(text, product))
            return {HID_FOUND, std::move(handle)};
    }
    if (notAccessibleError >= 0)
        return {HID_NOT_ACCESSIBLE, nullptr, notAccessibleError};
    return {result, nullptr};
}

HidFindResult FindTester(HidBus& bus)
{
    return FindHidDevice(bus, tester::kVendorId, tester::kManufacturer, tester::kProductId, tester::kProduct);
}

std::unique_ptr<HidHandle> OpenTester(HidBus& bus)
{
    HidFindResult found = FindTester(bus);
    return found.code == HID_FOUND ? std::move(found.handle) : nullptr;
}

std::vector<ListedTester> ListTesters(HidBus& bus)
{
    std::vector<ListedTester> testers;
    for (const std::string& path : bus.enumerate()) {
        int openError = 0;
        std::unique_ptr<HidHandle> handle = bus.tryOpen(path, openError);
        std::uint16_t vid = 0;
        std::uint16_t pid = 0;
        if (!handle) {
            // Its texts cannot be read without opening it: the ids the system lists must do.
            if (bus.listedIds(path, vid, pid) && vid == tester::kVendorId && pid == tester::kProductId)
                testers.push_back({path, nullptr, openError});
            continue;
        }
        if (!handle->attributes(vid, pid) || vid != tester::kVendorId || pid != tester::kProductId)
            continue;
        std::u16string manufacturer;
        std::u16string product;
        if (handle->manufacturerString(manufacturer) && sameText(manufacturer, tester::kManufacturer) &&
            handle->productString(product) && sameText(product, tester::kProduct))
            testers.push_back({path, std::move(handle), 0});
    }
    return testers;
}

namespace {

// The innermost cancellation scope of the calling thread.
thread_local const hiddata::CancelScope* innermostScope = nullptr;

} // namespace

hiddata::CancelScope::CancelScope(std::function<bool()> cancelled)
    : cancelled_(std::move(cancelled)), outer_(innermostScope)
{
    innermostScope = this;
}

hiddata::CancelScope::~CancelScope()
{
    innermostScope = outer_;
}

bool hiddata::cancelRequested()
{
    for (const CancelScope* scope = innermostScope; scope != nullptr; scope = scope->outer_)
        if (scope->cancelled_ && scope->cancelled_())
            return true;
    return false;
}

hiddata::~hiddata() = default;

void hiddata::setTrace(std::shared_ptr<ReportTrace> trace)
{
    trace_ = std::move(trace);
}

void hiddata::replaceHandle(std::unique_ptr<HidHandle> handle)
{
    deviceHandle = std::move(handle); // the replaced handle closes here
    {
        std::lock_guard lock(pathMutex_);
        path_ = deviceHandle ? deviceHandle->path() : std::string();
    }
    hasDevice_.store(deviceHandle != nullptr, std::memory_order_release);
}

std::string hiddata::handlePath() const
{
    std::lock_guard lock(pathMutex_);
    return path_;
}

bool hiddata::writeReport(const Report& report)
{
    if (!deviceHandle)
        return false;
    if (trace_)
        trace_->written(report);
    return deviceHandle->write(report.data(), report.size());
}

hiddata::ReadResult hiddata::readReportInto(Report& into, std::chrono::milliseconds bound)
{
    using Clock = std::chrono::steady_clock;
    if (!deviceHandle)
        return ReadResult::Failed;
    // A cancellable thread's wait is cut into slices so that it stops waiting soon after it is
    // cancelled; a slice that times out costs nothing on the wire.
    const bool cancellable = innermostScope != nullptr;
    const auto deadline = Clock::now() + bound;
    for (;;) {
        const auto left = std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()),
                                   std::chrono::milliseconds(0));
        const auto slice = cancellable ? std::min(left, kCancelPoll) : left;
        const int n = deviceHandle->read(into.data(), into.size(), static_cast<int>(slice.count()));
        if (n > 0) {
            into[0] = 0;
            if (trace_)
                trace_->read(into);
            return ReadResult::Received;
        }
        if (n < 0)
            return ReadResult::Failed;
        if (cancelRequested())
            return ReadResult::Cancelled;
        if (Clock::now() >= deadline) {
            if (trace_)
                trace_->readTimeout();
            return ReadResult::TimedOut;
        }
    }
}

hiddata::ReadResult hiddata::readReport()
{
    Report incoming{};
    const ReadResult result = readReportInto(incoming, replyTimeout());
    if (result == ReadResult::Received)
        replyBuffer = incoming;
    return result;
}

void hiddata::discardLateReplies()
{
    if (!deviceHandle)
        return;
    Report stale{};
    while (deviceHandle->read(stale.data(), stale.size(), 0) > 0) {
        if (trace_)
            trace_->discarded(stale);
    }
}

int hiddata::drainUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
{
    using Clock = std::chrono::steady_clock;
    if (!deviceHandle)
        return -1;
    const auto giveUpAt = Clock::now() + limit;
    auto quietUntil = Clock::now() + quiet;
    int dropped = 0;
    Report stale{};
    for (;;) {
        const auto now = Clock::now();
        if (now >= quietUntil)
            return dropped;
        if (now >= giveUpAt || cancelRequested())
            return -1;
        const auto wait = std::min({quietUntil, giveUpAt, now + kCancelPoll}) - now;
        const int n =
            deviceHandle->read(stale.data(), stale.size(),
                               static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count()));
        if (n < 0)
            return -1;
        if (n > 0) {
            ++dropped;
            quietUntil = Clock::now() + quiet;
            if (trace_)
                trace_->discarded(stale);
        }
    }
}
