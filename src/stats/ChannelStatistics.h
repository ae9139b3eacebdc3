#pragma once

#include <cstdint>

namespace stats {

// Figures of one channel over its window of recent cycles. With no sample yet every figure is 0.
struct ChannelStatistics {
    std::uint32_t samples = 0; // counts in the window (fewer than the window until it has filled)
    double mean = 0.0;
    std::uint16_t min = 0;
    std::uint16_t max = 0;
    // Population standard deviation of the counts in the window: the spread the operator sees.
    double stddev = 0.0;

    std::uint16_t peakToPeak() const { return static_cast<std::uint16_t>(max - min); }
};

} // namespace stats
