#pragma once

#include "CycleObservers.h"
#include "StationView.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class CUSBChannel;
class HidBus;
class TestSetup;
class HeadOperations;
namespace display {
class BoardGrid;
}

namespace station {

// The switches that the station's threads share.
class StationFlags {
public:
    // The acquisition loop keeps cycling while it is set.
    std::atomic<bool> run{false};
    // Counts are appended to the record file while it is set (menu command Recoder).
    std::atomic<bool> recording{false};
    // Set while the expansion board dialog is open: the loop then leaves the counts frozen.
    std::atomic<bool> expansionDialogOpen{false};

    // The window is closing: every worker stops at its next step.
    bool stopping() const { return stopping_.load(std::memory_order_acquire); }
    void stop()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_.store(true, std::memory_order_release);
        }
        wake_.notify_all();
    }

    // Waits for the given time; returns early with false once the station is stopping.
    bool pause(std::chrono::milliseconds duration)
    {
        std::unique_lock lock(mutex_);
        return !wake_.wait_for(lock, duration, [this] { return stopping(); });
    }

private:
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};

using BoardCounts = std::array<std::uint16_t, 64>;

// What the station's logic works on; owned by the window, which outlives every worker.
struct StationContext {
    CUSBChannel& channel;
    HidBus& bus;
    TestSetup& setup;
    HeadOperations& ops;
    display::BoardGrid& grid;
    StationView& view;
    StationFlags& flags;
    // Appends one board's counts to the record file (acquisition thread only); may be empty.
    std::function<void(const BoardCounts&)> record;
    // Every cycle's verdict, as judged and signalled: subscribe here (see CycleObservers.h).
    CycleObservers cycles{};
};

} // namespace station
