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

namespace {

BoardVerdict verdictOf(const BoardSnapshot& board, double pearson,
                       const std::array<ChannelJudgement, kChannels>& channels)
{
    bool anyFail = false;
    bool anyOpen = false;
    for (int k = 0; k < kChannels; ++k) {
        // Entries past the channel count keep whatever they held: they decide nothing about LOAD.
        anyOpen |= k < board.channelCount && board.mask[k] == mode(ChannelMode::Open);
        anyFail |= channels[k] == ChannelJudgement::Fail;
    }
    BoardVerdict verdict = anyFail ? BoardVerdict::Fail : BoardVerdict::Pass;
    if (board.pearsonEnable != 0 && board.pearsonThreshold > pearson)
        verdict = BoardVerdict::Fail;
    if (!anyOpen)
        verdict = BoardVerdict::Load;
    return verdict;
}

std::array<ChannelJudgement, kChannels> judgeChannels(const BoardSnapshot& board)
{
    std::array<ChannelJudgement, kChannels> channels{};
    for (int k = 0; k < kChannels; ++k)
        channels[k] =
            judgeChannel(board.mask[k], board.raw[k], board.thresholdHigh[k], board.thresholdLow[k]);
    return channels;
}

} // namespace

const char* verdictName(BoardVerdict verdict)
{
    switch (verdict) {
    case BoardVerdict::Pass:
        return "PASS";
    case BoardVerdict::Fail:
        return "FAIL";
    case BoardVerdict::Load:
        return "LOAD";
    case BoardVerdict::NotMeasured:
        return "NOT_MEASURED";
    case BoardVerdict::Loading:
        return "LOADING";
    }
    return "NOT_MEASURED";
}

bool countsAsFailing(BoardVerdict verdict)
{
    return verdict != BoardVerdict::Pass && verdict != BoardVerdict::Load;
}

std::int64_t steadyMillis()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

BoardVerdict verdictAt(BoardVerdict published, std::int64_t countsAtMs, std::int64_t nowMs)
{
    const bool judged =
        published == BoardVerdict::Pass || published == BoardVerdict::Fail || published == BoardVerdict::Load;
    if (judged && nowMs - countsAtMs > kFreshFor.count())
        return BoardVerdict::NotMeasured;
    return published;
}

BoardVerdict boardVerdict(const BoardSnapshot& board, double pearson)
{
    return verdictOf(board, pearson, judgeChannels(board));
}

BoardJudgement judgeBoard(const BoardSnapshot& board)
{
    BoardJudgement judgement;
    judgement.pearson = pearsonCoefficient(board);
    judgement.channels = judgeChannels(board);
    judgement.verdict = verdictOf(board, judgement.pearson, judgement.channels);
    return judgement;
}

void publishVerdict(BoardPanel& panel, BoardVerdict verdict, double pearson, std::int64_t countsAtMs)
{
    if (panel.pearsonEnable.load(std::memory_order_relaxed))
        panel.pearson.store(pearson, std::memory_order_relaxed);
    panel.countsAt.store(countsAtMs, std::memory_order_relaxed);
    panel.verdict.store(static_cast<std::uint8_t>(verdict), std::memory_order_relaxed);
}

GridVerdict evaluateVerdicts(BoardGrid& grid)
{
    GridVerdict result;
    const std::int64_t now = steadyMillis();
    const auto [rows, cols] = grid.counts().get();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            BoardPanel& panel = grid.panel(r, c);
            const BoardJudgement j = judgeBoard(panel.snapshot());
            publishVerdict(panel, j.verdict, j.pearson, now);
            result.verdicts[r * BoardGrid::kMaxCols + c] = j.verdict;
            result.failCount += countsAsFailing(j.verdict) ? 1 : 0;
        }
    }
    grid.failCount.store(result.failCount, std::memory_order_relaxed);
    return result;
}

} // namespace display
