#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// Every array of a board holds 64 channels; a board table entry may claim more, and every use
// takes at most 64 (the one place that rule lives).
inline constexpr int kMaxBoardChannels = 64;

constexpr int usedChannels(int channelCount)
{
    return std::clamp(channelCount, 0, kMaxBoardChannels);
}

// One whole board array: reference and thresholds are 16-bit, mask and order 8-bit.
using ChannelValues = std::array<std::uint16_t, kMaxBoardChannels>;
using ChannelBytes = std::array<std::uint8_t, kMaxBoardChannels>;

// The order in force when a board's custom order is off: entry i = i.
constexpr ChannelBytes identityOrder()
{
    ChannelBytes order{};
    for (int i = 0; i < kMaxBoardChannels; ++i)
        order[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    return order;
}
