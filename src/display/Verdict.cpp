#include "display/Verdict.h"

#include "display/BoardGrid.h"
#include "setup/ChannelMode.h"

#include <cmath>

namespace display {

namespace {

constexpr std::uint8_t mode(ChannelMode m)
{
    return static_cast<std::uint8_t>(m);
}

} // namespace

bool isJudgedMode(std::uint8_t m)
{
    return m == mode(ChannelMode::Open) || m == mode(ChannelMode::LowerOnly) ||
           m == mode(ChannelMode::UpperOnly);
}

ChannelJudgement judgeChannel(std::uint8_t m, std::uint16_t raw, std::uint16_t thresholdHigh,
                              std::uint16_t thresholdLow)
{
    bool fails = false;
    if (m == mode(ChannelMode::Open))
        fails = raw > thresholdHigh || raw < thresholdLow;
    else if (m == mode(ChannelMode::LowerOnly))
        fails = raw < thresholdLow;
    else if (m == mode(ChannelMode::UpperOnly))
        fails = raw > thresholdHigh;
    else
        return ChannelJudgement::NotJudged;
    return fails ? ChannelJudgement::Fail : ChannelJudgement::Pass;
}

double pearsonCoefficient(const BoardSnapshot& board)
{
    // Counts are below 2^16 and there are 64 of them: every sum is an exact integer in a double,
    // so the two variance terms are exact and never negative.
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int k = 0; k < kChannels; ++k) {
        if (board.mask[k] != mode(ChannelMode::Open))
            continue;
        const double x = board.raw[k];
        const double y = board.reference[k];
        sx += x;
        sy += y;
        sxx += x * x;
        syy += y * y;
        sxy += x * y;
    }
    constexpr double n = kChannels;
    const double numerator = sxy - sx * sy / n;
    const double denominator = std::sqrt((sxx - sx * sx / n) * (syy - sy * sy / n));
    return denominator == 0.0 ? 0.0 : numerator / denominator;
}

BoardVerdict boardVerdict(const BoardSnapshot& board, double pearson)
{
    bool anyFail = false;
    bool anyOpen = false;
    for (int k = 0; k < kChannels; ++k) {
        anyOpen |= board.mask[k] == mode(ChannelMode::Open);
        anyFail |= judgeChannel(board.mask[k], board.raw[k], board.thresholdHigh[k], board.thresholdLow[k]) ==
                   ChannelJudgement::Fail;
    }
    BoardVerdict verdict = anyFail ? BoardVerdict::Fail : BoardVerdict::Pass;
    if (board.pearsonEnable != 0 && board.pearsonThreshold > pearson)
        verdict = BoardVerdict::Fail;
    if (!anyOpen)
        verdict = BoardVerdict::Load;
    return verdict;
}

GridVerdict evaluateVerdicts(BoardGrid& grid)
{
    GridVerdict result;
    const auto [rows, cols] = grid.counts().get();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const BoardPanel& panel = grid.panel(r, c);
            const BoardVerdict v =
                boardVerdict(panel.snapshot(), panel.pearson.load(std::memory_order_relaxed));
            result.verdicts[r * BoardGrid::kMaxCols + c] = v;
            result.failCount += v == BoardVerdict::Fail ? 1 : 0;
        }
    }
    grid.failCount.store(result.failCount, std::memory_order_relaxed);
    return result;
}

} // namespace display
