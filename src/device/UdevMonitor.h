#pragma once

#include <optional>
#include <string>

struct udev;
struct udev_monitor;

// Arrival and removal of hidraw nodes (every HID device, as the station wants them). The window
// watches fd() with a socket notifier and calls receive() when it is readable.
class UdevMonitor {
public:
    struct Event {
        enum class Kind { Arrival, Removal } kind;
        std::string devnode; // e.g. /dev/hidraw3: the same text hidapi uses as the device path
    };

    UdevMonitor() = default;
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

    // Sets up the monitor; false when that is not possible (no udev, no permission).
    bool start();
    int fd() const;
    // The next pending event without blocking; nullopt when none is pending or it is of no
    // interest (other actions than add and remove).
    std::optional<Event> receive();

private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
};
