#pragma once

#include <cstdint>

namespace stats {

// Exact sums of a channel's counts, from which mean and population standard deviation are taken
// without rounding drift however many counts come and go, near 0 as near 65535. Counts can be
// removed again, so a rolling window keeps its sums in O(1) per cycle.
class CountSums {
public:
    void add(std::uint16_t count);
    // Takes back a count added before (one leaving a rolling window).
    void remove(std::uint16_t count);
    void clear();

    std::uint64_t samples() const { return samples_; }
    // 0 with no count.
    double mean() const;
    double stddev() const;

private:
    std::uint64_t samples_ = 0;
    std::uint64_t sum_ = 0;
    std::uint64_t sumSquares_ = 0;
};

} // namespace stats
