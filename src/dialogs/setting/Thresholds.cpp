#include "Thresholds.h"

#include <cmath>
#include <numeric>

namespace setting {

namespace {

std::uint16_t low16(std::int64_t value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFU);
}

} // namespace

ThresholdPair thresholdsByPercentage(std::uint16_t reference, std::uint16_t percentage)
{
    const double v = reference;
    const double delta = static_cast<double>(percentage) * v / 100.0;
    return {low16(static_cast<std::int64_t>(std::trunc(v - delta))),
            low16(static_cast<std::int64_t>(std::trunc(v + delta)))};
}

ThresholdPair thresholdsByAllowance(std::uint16_t reference, std::uint16_t allowedHigh,
                                    std::uint16_t allowedLow)
{
    return {low16(std::int64_t{reference} - allowedLow), low16(std::int64_t{reference} + allowedHigh)};
}

std::optional<std::int32_t> truncatedMean(std::span<const std::int32_t> values)
{
    if (values.empty())
        return std::nullopt;
    // Summed wide so that many large samples cannot overflow; C++ division truncates toward zero.
    const std::int64_t sum = std::accumulate(values.begin(), values.end(), std::int64_t{0});
    return static_cast<std::int32_t>(sum / static_cast<std::int64_t>(values.size()));
}

} // namespace setting
