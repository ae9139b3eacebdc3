#pragma once

#include "ColorScheme.h"

#include <array>
#include <cstdint>
#include <span>

// The global settings: bytes 0..55 of configuration block 249. Reserved bytes and bits are kept
// so that a decode/encode round trip gives back the bytes read, byte for byte.
struct GlobalSettings {
    static constexpr int kSize = 56;
    using Bytes = std::array<std::uint8_t, kSize>;

    // Bits of outputFlags (bits 4 and 5 reserved).
    enum OutputFlag : std::uint8_t {
        BuzzerEnable = 0x01,
        BuzzerInvert = 0x02,
        LedEnable = 0x04,
        LedInvert = 0x08,
        EnglishUi = 0x40,
        CertificateMenuOff = 0x80,
    };
    // Bits of lockFlags: a set bit refuses the named command (bits 6 and 7 reserved). The
    // station never changes them.
    enum LockFlag : std::uint8_t {
        LockContextMenu = 0x01,
        LockContextSetting = 0x02,
        LockLoad = 0x04,
        LockSave = 0x08,
        LockBaseline = 0x10,
        LockExpandMenu = 0x20,
    };

    std::uint8_t outputFlags = 0;                     // 0
    std::uint8_t lockFlags = 0;                       // 1
    std::array<std::uint8_t, 2> reserved2{};          // 2..3
    std::uint16_t viewRangeMax = 0;                   // 4
    std::uint16_t viewRangeMin = 0;                   // 6
    std::uint8_t judgeType = 0;                       // 8, carried, not interpreted
    std::uint16_t percentage = 0;                     // 9
    std::uint16_t allowedHigh = 0;                    // 11
    std::uint16_t allowedLow = 0;                     // 13
    std::uint8_t excessIndication = 0;                // 15
    std::uint8_t expandBoardCount = 0;                // 16
    std::array<std::uint8_t, 8> expandBoardAddress{}; // 17..24
    std::uint8_t gridCols = 0;                        // 25
    std::uint8_t gridRows = 0;                        // 26
    std::array<std::uint8_t, 8> reserved27{};         // 27..34
    ColorScheme colors;                               // 35..55

    bool output(OutputFlag flag) const { return (outputFlags & flag) != 0; }
    void setOutput(OutputFlag flag, bool on) { outputFlags = setBit(outputFlags, flag, on); }
    bool locked(LockFlag flag) const { return (lockFlags & flag) != 0; }
    bool englishUi() const { return output(EnglishUi); }

    static GlobalSettings decode(std::span<const std::uint8_t, kSize> bytes);
    // From the first 56 bytes of a 64-byte block.
    static GlobalSettings decode(std::span<const std::uint8_t, 64> block)
    {
        return decode(block.first<kSize>());
    }
    Bytes encode() const;
    void encodeInto(std::span<std::uint8_t, kSize> bytes) const;

    friend bool operator==(const GlobalSettings&, const GlobalSettings&) = default;

    static std::uint8_t setBit(std::uint8_t value, std::uint8_t mask, bool on)
    {
        return static_cast<std::uint8_t>(on ? (value | mask) : (value & ~mask));
    }
};
