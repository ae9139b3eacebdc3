#include "UdevMonitor.h"

#include <cstring>
#include <libudev.h>

UdevMonitor::~UdevMonitor()
{
    if (monitor_ != nullptr)
        udev_monitor_unref(monitor_);
    if (udev_ != nullptr)
        udev_unref(udev_);
}

bool UdevMonitor::start()
{
    udev_ = udev_new();
    if (udev_ == nullptr)
        return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr)
        return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0)
        return false;
    return udev_monitor_enable_receiving(monitor_) >= 0;
}

int UdevMonitor::fd() const
{
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

std::optional<UdevMonitor::Event> UdevMonitor::receive()
{
    if (monitor_ == nullptr)
        return std::nullopt;
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (device == nullptr)
        return std::nullopt;
    std::optional<Event> event;
    const char* action = udev_device_get_action(device);
    const char* node = udev_device_get_devnode(device);
    if (action != nullptr) {
        const std::string path = node != nullptr ? node : "";
        if (std::strcmp(action, "add") == 0)
            event = Event{Event::Kind::Arrival, path};
        else if (std::strcmp(action, "remove") == 0)
            event = Event{Event::Kind::Removal, path};
    }
    udev_device_unref(device);
    return event;
}
