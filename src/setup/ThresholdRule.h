#pragma once

#include <cstdint>

// How a channel's thresholds follow from its reference, exactly (no 16-bit wrap), and whether the
// head can store them: a lower threshold below 0 or an upper one above 65535 would wrap into a
// channel that always fails or always passes, so such thresholds are refused, never stored.
namespace thresholdrule {

inline constexpr int kMaxPercentage = 100;
inline constexpr std::int64_t kMaxCount = 65535;

struct Thresholds {
    std::int64_t low = 0;
    std::int64_t high = 0;
    friend bool operator==(const Thresholds&, const Thresholds&) = default;
};

// v -/+ percentage * v / 100 in floating point, each truncated toward zero.
Thresholds byPercentage(std::uint16_t reference, std::uint16_t percentage);

// v - allowedLow and v + allowedHigh.
Thresholds byAllowance(std::uint16_t reference, std::uint16_t allowedHigh, std::uint16_t allowedLow);

enum class Fault { None, LowBelowZero, HighAboveMax, LowAboveHigh };

// What keeps the pair from being stored; None when both fit 0..65535 with low <= high.
Fault faultOf(const Thresholds& thresholds);

} // namespace thresholdrule
