#pragma once

#include "sim/SimBus.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace simtest {

// Collects the bus notifications, from whatever thread they come.
class EventRecorder {
public:
    struct Entry {
        SimBus::Event event;
        std::string path;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    explicit EventRecorder(SimBus& bus)
    {
        bus.setListener([this](SimBus::Event event, const std::string& path) {
            std::lock_guard lock(mutex_);
            entries_.push_back({event, path});
            changed_.notify_all();
        });
    }

    // Waits until `count` notifications have come (bounded so a broken head fails instead of
    // hanging the run) and returns all of them.
    std::vector<Entry> waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(10), [&] { return entries_.size() >= count; });
        return entries_;
    }

    std::vector<Entry> entries()
    {
        std::lock_guard lock(mutex_);
        return entries_;
    }

    void clear()
    {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Entry> entries_;
};

inline constexpr auto kArrival = SimBus::Event::Arrival;
inline constexpr auto kRemoval = SimBus::Event::Removal;

} // namespace simtest
