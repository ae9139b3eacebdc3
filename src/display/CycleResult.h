#pragma once

#include "display/Verdict.h"

#include <chrono>
#include <cstdint>
#include <vector>

// What one acquisition cycle judged: the verdict the head was signalled and the view paints,
// with every board's channels as they were judged. Built on the acquisition thread once per
// cycle and handed to the cycle observers (station/CycleObservers.h).
namespace display {

struct ChannelResult {
    std::uint8_t mode = 0; // ChannelMode value as stored
    std::uint16_t reference = 0;
    std::uint16_t low = 0;  // thresholdLow
    std::uint16_t high = 0; // thresholdHigh
    std::uint16_t count = 0;
    bool judged = false; // Open, LowerOnly or UpperOnly
    bool pass = true;    // false only for a judged channel outside its limits
};

struct BoardResult {
    int row = 0;
    int col = 0;
    int boardIndex = 0; // board table index
    int channelCount = 0;
    BoardVerdict state = BoardVerdict::NotMeasured;
    bool pearsonEnabled = false;
    double pearson = 0.0; // meaningful when pearsonEnabled
    double pearsonThreshold = 0.0;
    // The first channelCount channels; empty unless the board was judged (Pass, Fail, Load).
    std::vector<ChannelResult> channels;
    // Every failing channel number (a failing entry past channelCount counts too).
    std::vector<int> failingChannels;
};

struct CycleResult {
    std::uint64_t cycle = 0; // 1 for the first cycle of a connection's acquisition loop
    std::chrono::system_clock::time_point time;
    int failCount = 0;               // boards that are not Pass or Load: what the head was signalled
    std::vector<BoardResult> boards; // every shown board, rows outer, columns inner
};

} // namespace display
