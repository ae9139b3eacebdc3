#pragma once

#include "setup/ThresholdRule.h"

#include <cstdint>
#include <optional>
#include <span>

// The arithmetic of the baseline dialog: averaging ticked samples into a reference and deriving
// the two thresholds from it, exactly; thresholdrule::faultOf says whether the head may store them.
namespace setting {

using ThresholdPair = thresholdrule::Thresholds;

inline ThresholdPair thresholdsByPercentage(std::uint16_t reference, std::uint16_t percentage)
{
    return thresholdrule::byPercentage(reference, percentage);
}

inline ThresholdPair thresholdsByAllowance(std::uint16_t reference, std::uint16_t allowedHigh,
                                           std::uint16_t allowedLow)
{
    return thresholdrule::byAllowance(reference, allowedHigh, allowedLow);
}

// The integer mean (truncated toward zero) of the values; nullopt when there are none.
std::optional<std::int32_t> truncatedMean(std::span<const std::int32_t> values);

} // namespace setting
