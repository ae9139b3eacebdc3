#pragma once

#include "BoardRecord.h"

#include <cstdint>

// The station's copy of one board's measurement settings, sent with every count read, and the
// board's firmware version.
struct BoardMeasureSettings {
    static constexpr int kBoards = 32; // entries in TestSetup

    std::uint8_t userGain = 7;
    std::uint8_t current = 0;
    std::uint8_t dischargeTime = 0;
    std::uint8_t delayTime = 0;
    std::uint16_t firmwareVersion = 0; // high byte major, low byte minor

    // A version below 1.00 means that reading the board's version failed.
    bool versionKnown() const { return firmwareVersion >= 0x100; }

    // The four settings of a board record, keeping the version.
    void takeSettings(const BoardRecord& record)
    {
        userGain = record.userGain;
        current = record.current;
        dischargeTime = record.dischargeTime;
        delayTime = record.delayTime;
    }

    // The two parameter bytes of ReadCounts.
    std::uint8_t countsParam1() const { return static_cast<std::uint8_t>((delayTime << 4) | (userGain & 7)); }
    std::uint8_t countsParam2() const
    {
        return static_cast<std::uint8_t>(((dischargeTime & 7) << 3) | current);
    }

    friend bool operator==(const BoardMeasureSettings&, const BoardMeasureSettings&) = default;
};
