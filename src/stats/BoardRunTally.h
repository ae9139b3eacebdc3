#pragma once

#include "stats/ChannelStatistics.h"
#include "stats/CountSums.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace stats {

// A board's verdict in one acquisition cycle, and over a run of cycles.
enum class Verdict { Pass, Fail, Load, NotMeasured };

// One channel as a cycle that judged its board saw it.
struct ChannelSample {
    std::uint16_t count = 0;
    bool pass = true; // false only for a judged channel outside its limits
};

// One channel over the cycles of a run that judged its board.
struct ChannelOverRun {
    ChannelStatistics figures; // of its counts in those cycles
    std::uint16_t last = 0;
    bool pass = true; // it passed in every one of them
};

// One board over a run of acquisition cycles, from each cycle's own verdict: the one rule the
// tool's measure and the stored test runs both judge a run by.
//
// The board passes the run only when it passed in every cycle of it, is LOAD only when every
// cycle found no Open channel, NOT_MEASURED when no cycle judged it, and FAIL otherwise. A cycle
// that did not judge the board (not measured, still loading, or the board not shown at all) is a
// failed cycle, so a board is never PASS on fewer cycles than its run had. The Pearson figure
// kept is the lowest of the run, the check being a lower limit. Not thread-safe.
class BoardRunTally {
public:
    // One cycle that showed the board: its verdict and, when the cycle judged it, its channels
    // and (with the check enabled) its Pearson coefficient.
    void add(Verdict verdict, std::span<const ChannelSample> channels,
             std::optional<double> pearson = std::nullopt);

    // Over a run of runCycles cycles, this board's shown ones among them.
    Verdict verdict(int runCycles) const;
    int failedCycles(int runCycles) const;

    // Cycles that judged the board (it had channels to count).
    int judgedCycles() const { return judged_; }
    std::optional<double> lowestPearson() const { return lowestPearson_; }
    // Channels seen in the judged cycles, and each one's figures over them.
    std::size_t channelCount() const { return channels_.size(); }
    ChannelOverRun channel(std::size_t index) const;

private:
    struct Channel {
        CountSums sums;
        std::uint16_t min = 0;
        std::uint16_t max = 0;
        std::uint16_t last = 0;
        bool pass = true;
    };

    int passed_ = 0;
    int load_ = 0;
    int judged_ = 0;
    std::optional<double> lowestPearson_;
    std::vector<Channel> channels_;
};

} // namespace stats
