#pragma once

#include <cstdint>
#include <optional>
#include <span>

// The arithmetic of the baseline dialog: averaging ticked samples into a reference and deriving
// the two thresholds from it. Results are the 16-bit values the head stores, so a lower
// threshold below zero wraps (reference 10 less 20 is 65526).
namespace setting {

struct ThresholdPair {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    friend bool operator==(const ThresholdPair&, const ThresholdPair&) = default;
};

// v -/+ percentage * v / 100 in floating point, truncated toward zero, low 16 bits kept.
ThresholdPair thresholdsByPercentage(std::uint16_t reference, std::uint16_t percentage);

// v - allowedLow and v + allowedHigh, modulo 65536.
ThresholdPair thresholdsByAllowance(std::uint16_t reference, std::uint16_t allowedHigh,
                                    std::uint16_t allowedLow);

// The integer mean (truncated toward zero) of the values; nullopt when there are none.
std::optional<std::int32_t> truncatedMean(std::span<const std::int32_t> values);

} // namespace setting
