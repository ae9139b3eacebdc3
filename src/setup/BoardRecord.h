#pragma once

#include <array>
#include <cstdint>
#include <span>

// The 26-byte record of a board's options at board region offset 512. Reserved bytes and bits
// are kept so that a decode/encode round trip gives back the bytes read.
struct BoardRecord {
    static constexpr int kSize = 26;
    using Bytes = std::array<std::uint8_t, kSize>;

    // Bits of boardFlags (bits 3..7 reserved).
    enum Flag : std::uint8_t {
        PercentMode = 0x01,   // thresholds from a percentage of the reference, else from the allowances
        PearsonEnable = 0x02, // judge the Pearson correlation too
        OrderEnable = 0x04,   // the custom channel order is in force
    };

    std::uint8_t boardFlags = 0;             // 0
    std::array<std::uint8_t, 3> reserved1{}; // 1..3
    std::uint16_t viewRangeMax = 0;          // 4
    std::uint16_t viewRangeMin = 0;          // 6
    std::uint16_t percentage = 0;            // 8
    std::uint16_t allowedHigh = 0;           // 10
    std::uint16_t allowedLow = 0;            // 12
    double pearsonThreshold = 0.0;           // 14, IEEE binary64 little-endian, 0..1
    std::uint8_t userGain = 0;               // 22
    std::uint8_t current = 0;                // 23
    std::uint8_t dischargeTime = 0;          // 24
    std::uint8_t delayTime = 0;              // 25

    bool flag(Flag f) const { return (boardFlags & f) != 0; }
    void setFlag(Flag f, bool on)
    {
        boardFlags = static_cast<std::uint8_t>(on ? (boardFlags | f) : (boardFlags & ~f));
    }
    bool percentMode() const { return flag(PercentMode); }
    bool pearsonEnable() const { return flag(PearsonEnable); }
    bool orderEnable() const { return flag(OrderEnable); }

    static BoardRecord decode(std::span<const std::uint8_t, kSize> bytes);
    Bytes encode() const;

    // Compares the encodings, so that two records holding the same NaN bits are equal.
    friend bool operator==(const BoardRecord& a, const BoardRecord& b) { return a.encode() == b.encode(); }
};
