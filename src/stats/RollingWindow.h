#pragma once

#include "stats/ChannelStatistics.h"
#include "stats/CountSums.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace stats {

// The counts of one channel over the last cycles and their figures over a window of the last K.
//
// The counts are kept in a ring of `history` entries (at least the window), so a trend can be
// drawn from the same store. The window's exact sums (CountSums) give mean and standard
// deviation without rounding drift however long the station runs. Minimum and
// maximum are found by scanning the window when the figures are read, which keeps push() O(1).
//
// Not thread-safe: BoardStatistics guards a board's windows with one lock.
class RollingWindow {
public:
    static constexpr std::size_t kDefaultWindow = 50;
    static constexpr std::size_t kMaxWindow = 4096;

    // window and history are limited to 1..kMaxWindow; history is at least the window.
    explicit RollingWindow(std::size_t window = kDefaultWindow, std::size_t history = 0);

    void push(std::uint16_t count);
    void clear();

    // Changes the window, keeping the counts held; a window above the history is limited to it.
    void setWindow(std::size_t window);
    std::size_t window() const { return window_; }
    std::size_t history() const { return ring_.size(); }

    // Counts pushed since construction or clear().
    std::uint64_t pushed() const { return pushed_; }
    // The latest count; 0 before the first.
    std::uint16_t last() const;

    // Figures over the last min(pushed, window) counts.
    ChannelStatistics statistics() const;

    // Copies the latest min(out.size(), pushed, history) counts into out, oldest first; returns
    // how many were copied.
    std::size_t recent(std::span<std::uint16_t> out) const;

private:
    std::size_t held() const; // counts in the ring
    std::size_t inWindow() const;
    std::uint16_t back(std::size_t age) const; // age 0: the latest count
    void resum();

    std::vector<std::uint16_t> ring_;
    std::size_t window_;
    std::size_t next_ = 0; // ring index of the next push
    std::uint64_t pushed_ = 0;
    CountSums sums_; // of the counts in the window
};

} // namespace stats
