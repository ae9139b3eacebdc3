#pragma once

#include "display/BoardPanel.h"
#include "display/Verdict.h"
#include "stats/BoardStatistics.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What the channel monitor shows of one board, worked out from the cycle's verdict, the board's
// panel and its rolling statistics, without widgets. The pass of a channel and the board's
// verdict are taken as judged in the cycle, never judged again here.
namespace monitor {

// One board as the cycle judged it.
struct JudgedBoard {
    display::BoardVerdict verdict = display::BoardVerdict::Load;
    double pearson = 0.0;
    std::array<std::uint16_t, display::kChannels> counts{};
    std::array<std::uint16_t, display::kChannels> low{};
    std::array<std::uint16_t, display::kChannels> high{};
    std::array<display::ChannelJudgement, display::kChannels> judgement{};
};

struct MonitorInput {
    display::BoardSnapshot panel; // modes, references, order, channel count, Pearson settings
    JudgedBoard judged;
    stats::BoardStatisticsSnapshot statistics;
};

struct ChannelRow {
    int position = 0; // display position on the board
    int channel = 0;
    std::uint8_t mode = 0;
    std::uint16_t reference = 0;
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    std::uint16_t last = 0;
    stats::ChannelStatistics statistics;
    double drift = 0.0;                 // mean - reference
    std::optional<double> driftPercent; // none for a reference of 0
    // Last count to the nearer limit the channel is judged against; negative when outside.
    // None for a channel that is not judged.
    std::optional<int> margin;
    std::optional<double> marginSigma; // margin in standard deviations; none when the noise is 0
    display::ChannelJudgement judgement = display::ChannelJudgement::NotJudged;

    bool failing() const { return judgement == display::ChannelJudgement::Fail; }
};

struct BoardSummary {
    display::BoardVerdict verdict = display::BoardVerdict::Load;
    double pearson = 0.0;
    bool pearsonEnable = false;
    double pearsonThreshold = 0.0;
    std::optional<ChannelRow> worst; // judged channel with the smallest margin
    double noiseMedian = 0.0;        // standard deviation over the judged channels
    double noiseMax = 0.0;
};

// One row per display position below the channel count, in display order.
std::vector<ChannelRow> monitorRows(const MonitorInput& input);

BoardSummary summarize(const MonitorInput& input, const std::vector<ChannelRow>& rows);

// Channels for the trend when the operator has chosen none: the failing ones, else the one
// with the smallest margin (none when no channel is judged). At most `limit` channels.
std::vector<int> defaultTrendChannels(const std::vector<ChannelRow>& rows, std::size_t limit);

} // namespace monitor
