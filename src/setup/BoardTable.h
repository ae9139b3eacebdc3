#pragma once

#include "Channels.h"

#include <array>
#include <cstdint>
#include <span>

// One entry of the board table (4 bytes): where a board's channels are shown and how it is wired.
struct BoardTableEntry {
    static constexpr int kSize = 4;

    std::uint8_t position = 0;     // high nibble: grid column, low nibble: grid row
    std::uint8_t channelCount = 0; // as stored; use channels() for the count in force
    std::uint8_t boardIndex = 0;   // 0..7 into GlobalSettings::expandBoardAddress
    std::uint8_t port = 0;         // 0..7, selected with the mask 1 << port

    int col() const { return position >> 4; }
    int row() const { return position & 0x0F; }
    int channels() const { return usedChannels(channelCount); }

    static constexpr std::uint8_t makePosition(int row, int col)
    {
        return static_cast<std::uint8_t>(((col << 4) | (row & 0x0F)) & 0xFF);
    }

    friend bool operator==(const BoardTableEntry&, const BoardTableEntry&) = default;
};

// The board table: 64 entries at head memory 0..255; entry k belongs to board index k.
struct BoardTable {
    static constexpr int kEntries = 64;
    static constexpr int kSize = kEntries * BoardTableEntry::kSize;
    using Bytes = std::array<std::uint8_t, kSize>;

    std::array<BoardTableEntry, kEntries> entries{};

    static BoardTable decode(std::span<const std::uint8_t, kSize> bytes);
    Bytes encode() const;

    friend bool operator==(const BoardTable&, const BoardTable&) = default;
};
