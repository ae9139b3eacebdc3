#pragma once

#include "display/CycleResult.h"
#include "stats/BoardRunTally.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The verdict of every board over a run of acquisition cycles, judged by the same rule as a stored
// test run (stats::BoardRunTally): a board passes only when it passed in every cycle; a cycle in
// which it was not measured counts as failed. add() runs on the acquisition thread, the rest
// anywhere.
namespace cli {

struct ChannelSummary {
    int channel = 0;
    std::uint8_t mode = 0;
    std::uint16_t reference = 0;
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    std::uint16_t last = 0;
    double mean = 0.0;
    std::uint16_t min = 0;
    std::uint16_t max = 0;
    double sd = 0.0;  // population standard deviation over the measured cycles
    bool pass = true; // passed in every measured cycle (channels that are not judged pass)
    int samples = 0;  // measured cycles
};

struct BoardSummary {
    int index = 0;
    int row = 0;
    int col = 0;
    int channelCount = 0;
    std::string verdict; // "PASS", "FAIL", "LOAD" or "NOT_MEASURED"
    int failedCycles = 0;
    int measuredCycles = 0;
    std::optional<double> pearson; // the lowest coefficient of the measured cycles, when enabled
    std::optional<double> pearsonThreshold;
    std::vector<int> failing; // every channel that failed in some cycle, ascending
    std::vector<ChannelSummary> channels;
};

class MeasureTally {
public:
    void add(const display::CycleResult& result);

    int cycles() const;
    std::vector<BoardSummary> summary() const;
    // True when every board passed (and there was a board to pass).
    static bool allPassed(const std::vector<BoardSummary>& boards);

private:
    struct BoardAccumulator {
        BoardSummary info;                 // position, channel count, failing channels, threshold
        std::vector<ChannelSummary> setup; // each channel's mode and limits as last judged
        stats::BoardRunTally run;
    };

    BoardAccumulator& board(const display::BoardResult& result);

    mutable std::mutex mutex_;
    int cycles_ = 0;
    std::vector<BoardAccumulator> boards_;
};

// "open", "closed", "masked", "lowerOnly", "upperOnly", or the stored value as "0xNN".
std::string modeName(std::uint8_t mode);

} // namespace cli
