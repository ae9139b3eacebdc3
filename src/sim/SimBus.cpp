#include "SimBus.h"

#include "device/DeviceIds.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <stdexcept>
#include <utility>

// Delivers bus notifications. Heads keep a reference so that their own threads can report
// restarts and vanishing.
class SimBus::Events {
public:
    void setListener(Listener listener)
    {
        std::lock_guard lock(mutex_);
        listener_ = std::move(listener);
    }
    void fire(Event event, const std::string& path)
    {
        Listener listener;
        {
            std::lock_guard lock(mutex_);
            listener = listener_;
        }
        if (listener)
            listener(event, path);
    }

private:
    std::mutex mutex_;
    Listener listener_;
};

// Another HID device: it has ids and strings and can be opened, but never sends a report.
struct SimForeignDevice {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::optional<std::u16string> manufacturer;
    std::optional<std::u16string> product;
    bool openable = true;

    std::mutex mutex;
    std::condition_variable removed;
    bool present = true;
    std::uint64_t epoch = 0; // bumped when unplugged: handles opened before die

    bool alive(std::uint64_t handleEpoch)
    {
        std::lock_guard lock(mutex);
        return present && epoch == handleEpoch;
    }
};

namespace {

class ForeignHandle final : public HidHandle {
public:
    ForeignHandle(std::string path, std::shared_ptr<SimForeignDevice> device, std::uint64_t epoch)
        : path_(std::move(path)), device_(std::move(device)), epoch_(epoch)
    {
    }

    std::string path() const override { return path_; }
    bool attributes(std::uint16_t& vendorId, std::uint16_t& productId) override
    {
        if (!device_->alive(epoch_))
            return false;
        vendorId = device_->vendorId;
        productId = device_->productId;
        return true;
    }
    bool manufacturerString(std::u16string& text) override { return string(device_->manufacturer, text); }
    bool productString(std::u16string& text) override { return string(device_->product, text); }
    bool write(const std::uint8_t*, std::size_t) override { return device_->alive(epoch_); }
    int read(std::uint8_t*, std::size_t, int timeoutMs) override
    {
        // Nothing ever arrives: wait out the time-out unless the device goes away first.
        std::unique_lock lock(device_->mutex);
        const auto gone = [this] { return !device_->present || device_->epoch != epoch_; };
        if (timeoutMs < 0)
            device_->removed.wait(lock, gone);
        else
            device_->removed.wait_for(lock, std::chrono::milliseconds(timeoutMs), gone);
        return gone() ? -1 : 0;
    }

private:
    bool string(const std::optional<std::u16string>& value, std::u16string& text)
    {
        if (!device_->alive(epoch_) || !value)
            return false;
        text = *value;
        return true;
    }

    std::string path_;
    std::shared_ptr<SimForeignDevice> device_;
    std::uint64_t epoch_;
};

} // namespace

SimBus::SimBus() : events_(std::make_shared<Events>()) {}

SimBus::~SimBus()
{
    // Handles may outlive the bus; they find their devices gone. The heads' threads are
    // stopped without the bus locked, as a notification in flight may still use the bus.
    events_->setListener(nullptr);
    std::vector<Device> devices;
    {
        std::lock_guard lock(mutex_);
        devices = devices_;
    }
    for (Device& device : devices) {
        if (device.head) {
            device.head->shutdown();
        } else {
            std::lock_guard deviceLock(device.other->mutex);
            device.other->present = false;
            device.other->removed.notify_all();
        }
    }
}

void SimBus::setListener(Listener listener)
{
    events_->setListener(std::move(listener));
}

SimHead& SimBus::addHead(const std::string& path)
{
    auto head = std::make_shared<SimHead>(path);
    head->setPresenceListener([events = events_, path](bool arrived) {
        events->fire(arrived ? Event::Arrival : Event::Removal, path);
    });
    SimHead& result = *head;
    addDevice(Device{path, std::move(head), nullptr});
    return result;
}

void SimBus::addForeignDevice(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                              std::optional<std::u16string> manufacturer,
                              std::optional<std::u16string> product, bool openable)
{
    auto device = std::make_shared<SimForeignDevice>();
    device->vendorId = vendorId;
    device->productId = productId;
    device->manufacturer = std::move(manufacturer);
    device->product = std::move(product);
    device->openable = openable;
    addDevice(Device{path, nullptr, std::move(device)});
}

void SimBus::addDevice(Device device)
{
    const std::string path = device.path;
    {
        std::lock_guard lock(mutex_);
        if (findLocked(path) != nullptr)
            throw std::invalid_argument("SimBus: a device with path " + path + " exists already");
        devices_.push_back(std::move(device));
    }
    events_->fire(Event::Arrival, path);
}

SimHead* SimBus::head(const std::string& path)
{
    std::lock_guard lock(mutex_);
    const Device* device = findLocked(path);
    return device != nullptr ? device->head.get() : nullptr;
}

SimBus::Device* SimBus::findLocked(const std::string& path)
{
    const auto found = std::find_if(devices_.begin(), devices_.end(),
                                    [&](const Device& device) { return device.path == path; });
    return found == devices_.end() ? nullptr : &*found;
}

void SimBus::unplug(const std::string& path)
{
    setPresence(path, false);
}

void SimBus::plug(const std::string& path)
{
    setPresence(path, true);
}

void SimBus::setPresence(const std::string& path, bool present)
{
    std::shared_ptr<SimHead> head;
    bool changed = false;
    {
        std::lock_guard lock(mutex_);
        Device* device = findLocked(path);
        if (device == nullptr)
            return;
        head = device->head;
        if (!head) {
            std::lock_guard deviceLock(device->other->mutex);
            changed = std::exchange(device->other->present, present) != present;
            if (!present) {
                ++device->other->epoch;
                device->other->removed.notify_all();
            }
        }
    }
    // A head orders its notifications with the ones it makes by itself.
    if (head && present)
        head->plug();
    else if (head)
        head->unplug();
    else if (changed)
        events_->fire(present ? Event::Arrival : Event::Removal, path);
}

std::vector<std::string> SimBus::enumerate()
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const Device& device : devices_)
        if (presentLocked(device))
            paths.push_back(device.path);
    return paths;
}

bool SimBus::presentLocked(const Device& device)
{
    if (device.head)
        return device.head->onBus();
    std::lock_guard deviceLock(device.other->mutex);
    return device.other->present;
}

void SimBus::refuseOpen(const std::string& path, int error)
{
    std::lock_guard lock(mutex_);
    if (Device* device = findLocked(path))
        device->openError = error;
}

std::unique_ptr<HidHandle> SimBus::tryOpen(const std::string& path, int& error)
{
    {
        std::lock_guard lock(mutex_);
        const Device* device = findLocked(path);
        error = device != nullptr && presentLocked(*device) ? device->openError : 0;
        if (error != 0)
            return nullptr;
    }
    return open(path);
}

bool SimBus::listedIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId)
{
    std::lock_guard lock(mutex_);
    const Device* device = findLocked(path);
    if (device == nullptr || !presentLocked(*device))
        return false;
    vendorId = device->head ? tester::kVendorId : device->other->vendorId;
    productId = device->head ? tester::kProductId : device->other->productId;
    return true;
}

std::unique_ptr<HidHandle> SimBus::open(const std::string& path)
{
    std::lock_guard lock(mutex_);
    const Device* device = findLocked(path);
    if (device == nullptr || device->openError != 0)
        return nullptr;
    if (device->head)
        return SimHead::openHandle(device->head);

    std::lock_guard deviceLock(device->other->mutex);
    if (!device->other->present || !device->other->openable)
        return nullptr;
    return std::make_unique<ForeignHandle>(path, device->other, device->other->epoch);
}
