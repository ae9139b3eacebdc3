#pragma once

#include "stats/ChannelStatistics.h"
#include "stats/RollingWindow.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace stats {

inline constexpr int kChannels = 64;

// A consistent copy of one board's figures, all taken at the same cycle.
struct BoardStatisticsSnapshot {
    std::uint64_t cycles = 0; // cycles pushed since the last clear
    std::size_t window = 0;   // K
    std::array<ChannelStatistics, kChannels> channels{};
    std::array<std::uint16_t, kChannels> last{}; // latest count per channel
};

// The latest counts of some channels, oldest first, all ending at the same cycle.
struct BoardTrend {
    std::uint64_t cycles = 0;                       // the cycle number of the last entry of each series
    std::vector<std::vector<std::uint16_t>> counts; // one series per requested channel
};

// Rolling statistics of the 64 channels of one board. The acquisition thread pushes a cycle's
// counts while the GUI thread (or the results writer) reads: one lock per board keeps a reader
// from seeing half a cycle, and costs the writer one uncontended lock per board and cycle.
class BoardStatistics {
public:
    explicit BoardStatistics(std::size_t window = RollingWindow::kDefaultWindow, std::size_t history = 0);

    // One cycle's counts of channels 0..counts.size()-1 (at most 64); later channels keep theirs.
    void push(std::span<const std::uint16_t> counts);
    void clear();
    // Starts afresh with another window and history (see RollingWindow).
    void reset(std::size_t window, std::size_t history);
    void setWindow(std::size_t window);

    BoardStatisticsSnapshot snapshot() const;
    // The latest at most maxPoints counts of each given channel (channels outside 0..63 give an
    // empty series).
    BoardTrend trend(std::span<const int> channels, std::size_t maxPoints) const;
    std::uint64_t cycles() const;

private:
    mutable std::mutex mutex_;
    std::array<RollingWindow, kChannels> channels_;
    std::uint64_t cycles_ = 0;
};

} // namespace stats
