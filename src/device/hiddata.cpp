#include "hiddata.h"

#include "DeviceIds.h"

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
    for (const std::string& path : bus.enumerate()) {
        std::unique_ptr<HidHandle> handle = bus.open(path);
        if (!handle)
            continue; // kept by the system (keyboards and the like)

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
    return {result, nullptr};
}

std::unique_ptr<HidHandle> OpenTester(HidBus& bus)
{
    HidFindResult found =
        FindHidDevice(bus, tester::kVendorId, tester::kManufacturer, tester::kProductId, tester::kProduct);
    return found.code == HID_FOUND ? std::move(found.handle) : nullptr;
}

std::vector<std::unique_ptr<HidHandle>> OpenTesters(HidBus& bus)
{
    std::vector<std::unique_ptr<HidHandle>> testers;
    for (const std::string& path : bus.enumerate()) {
        std::unique_ptr<HidHandle> handle = bus.open(path);
        std::uint16_t vid = 0;
        std::uint16_t pid = 0;
        if (!handle || !handle->attributes(vid, pid) || vid != tester::kVendorId || pid != tester::kProductId)
            continue;
        std::u16string manufacturer;
        std::u16string product;
        if (handle->manufacturerString(manufacturer) && sameText(manufacturer, tester::kManufacturer) &&
            handle->productString(product) && sameText(product, tester::kProduct))
            testers.push_back(std::move(handle));
    }
    return testers;
}

hiddata::~hiddata() = default;

void hiddata::setTrace(std::shared_ptr<ReportTrace> trace)
{
    trace_ = std::move(trace);
}

void hiddata::replaceHandle(std::unique_ptr<HidHandle> handle)
{
    deviceHandle = std::move(handle); // the replaced handle closes here
    hasDevice_.store(deviceHandle != nullptr, std::memory_order_release);
}

std::string hiddata::handlePath() const
{
    return deviceHandle ? deviceHandle->path() : std::string();
}

bool hiddata::writeReport(const Report& report)
{
    if (!deviceHandle)
        return false;
    if (trace_)
        trace_->written(report);
    return deviceHandle->write(report.data(), report.size());
}

bool hiddata::readReport()
{
    if (!deviceHandle)
        return false;
    Report incoming{};
    const int n =
        deviceHandle->read(incoming.data(), incoming.size(), replyTimeoutMs_.load(std::memory_order_relaxed));
    if (n <= 0) {
        if (trace_)
            trace_->readTimeout();
        return false;
    }
    incoming[0] = 0;
    replyBuffer = incoming;
    if (trace_)
        trace_->read(replyBuffer);
    return true;
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
