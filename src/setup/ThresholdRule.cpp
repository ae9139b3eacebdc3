#include "ThresholdRule.h"

#include <cmath>

namespace thresholdrule {

Thresholds byPercentage(std::uint16_t reference, std::uint16_t percentage)
{
    const double v = reference;
    const double delta = static_cast<double>(percentage) * v / 100.0;
    return {static_cast<std::int64_t>(std::trunc(v - delta)),
            static_cast<std::int64_t>(std::trunc(v + delta))};
}

Thresholds byAllowance(std::uint16_t reference, std::uint16_t allowedHigh, std::uint16_t allowedLow)
{
    return {std::int64_t{reference} - allowedLow, std::int64_t{reference} + allowedHigh};
}

Fault faultOf(const Thresholds& thresholds)
{
    if (thresholds.low < 0)
        return Fault::LowBelowZero;
    if (thresholds.high > kMaxCount)
        return Fault::HighAboveMax;
    if (thresholds.low > thresholds.high)
        return Fault::LowAboveHigh;
    return Fault::None;
}

} // namespace thresholdrule
