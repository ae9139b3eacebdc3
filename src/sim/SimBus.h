#pragma once

#include "SimHead.h"
#include "device/HidBus.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct SimForeignDevice;

// A simulated HID bus for tests and the demo mode: simulated heads and other HID devices that
// can be plugged and unplugged, with arrival and removal notifications like the platform's.
// Thread-safe.
class SimBus : public HidBus {
public:
    enum class Event { Arrival, Removal };
    using Listener = std::function<void(Event, const std::string& path)>;

    SimBus();
    ~SimBus() override;
    SimBus(const SimBus&) = delete;
    SimBus& operator=(const SimBus&) = delete;

    // Called on whichever thread changes the bus: the caller of addHead, plug and unplug, or a
    // head's own thread when it restarts or vanishes. Never called while the bus is locked.
    void setListener(Listener listener);

    // A new head with the demo setup, plugged in at once (Arrival). Paths must be unique.
    SimHead& addHead(const std::string& path = "/dev/hidraw-sim0");
    // Some other HID device, for discovery: its ids, its strings (nullopt: cannot be read) and
    // whether it can be opened at all. Plugged in at once (Arrival).
    void addForeignDevice(const std::string& path, std::uint16_t vendorId, std::uint16_t productId,
                          std::optional<std::u16string> manufacturer, std::optional<std::u16string> product,
                          bool openable = true);
    // The head or device with that path stays listed but cannot be opened: open fails with the
    // errno value `error` (EACCES: no permission, EBUSY: held by another program); 0 lifts it.
    void refuseOpen(const std::string& path, int error);
    // The head or device with that path, if any.
    SimHead* head(const std::string& path);

    // Open handles of the device die (read -1, write false). Removal; nothing when absent.
    void unplug(const std::string& path);
    // Arrival; nothing when present already.
    void plug(const std::string& path);

    // Present devices in the order they were added.
    std::vector<std::string> enumerate() override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    std::unique_ptr<HidHandle> tryOpen(const std::string& path, int& error) override;
    bool listedIds(const std::string& path, std::uint16_t& vendorId, std::uint16_t& productId) override;

private:
    struct Device {
        std::string path;
        std::shared_ptr<SimHead> head;           // a simulated head, or
        std::shared_ptr<SimForeignDevice> other; // another HID device
        int openError = 0;                       // set by refuseOpen
    };
    class Events;

    Device* findLocked(const std::string& path);
    static bool presentLocked(const Device& device);
    void setPresence(const std::string& path, bool present);
    void addDevice(Device device);

    std::shared_ptr<Events> events_; // shared with the heads' own threads
    std::mutex mutex_;
    std::vector<Device> devices_;
};
