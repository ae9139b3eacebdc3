#include "stats/CountSums.h"

#include <cmath>

namespace stats {
namespace {

// Up to this many counts n * sumSquares and sum^2 stay below 2^64 (n * 65535 < 2^32).
constexpr std::uint64_t kExactSamples = 65536;

std::uint64_t square(std::uint16_t count)
{
    return std::uint64_t{count} * count;
}

} // namespace

void CountSums::add(std::uint16_t count)
{
    ++samples_;
    sum_ += count;
    sumSquares_ += square(count);
}

void CountSums::remove(std::uint16_t count)
{
    --samples_;
    sum_ -= count;
    sumSquares_ -= square(count);
}

void CountSums::clear()
{
    *this = CountSums{};
}

// Mean and deviation are taken in long double and rounded to double once at the end.

double CountSums::mean() const
{
    if (samples_ == 0)
        return 0.0;
    return static_cast<double>(static_cast<long double>(sum_) / static_cast<long double>(samples_));
}

double CountSums::stddev() const
{
    if (samples_ == 0)
        return 0.0;
    // n * sumSquares - sum^2 is n^2 times the variance: exact in 64 bits and never negative for
    // the windows and runs a station keeps. Longer runs (a soak over more than 65536 cycles) take
    // it in long double, whose rounding stays far below any spread a channel shows.
    const auto n = static_cast<long double>(samples_);
    long double scaled = 0;
    if (samples_ <= kExactSamples) {
        scaled = static_cast<long double>(samples_ * sumSquares_ - sum_ * sum_);
    } else {
        const auto sum = static_cast<long double>(sum_);
        scaled = n * static_cast<long double>(sumSquares_) - sum * sum;
    }
    return scaled > 0 ? static_cast<double>(std::sqrt(scaled) / n) : 0.0;
}

} // namespace stats
