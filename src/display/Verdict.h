#pragma once

#include "display/BoardPanel.h"

#include <array>
#include <chrono>
#include <cstdint>

// Judgement of channels and boards, the Pearson coefficient and failCount: what decides PASS or
// FAIL, as plain functions over panel data.
namespace display {

class BoardGrid;

// Pass, Fail and Load come from judging counts. NotMeasured: the board was not judged (not
// loaded, its counts did not arrive in the cycle, or they are older than kFreshFor). Loading:
// board loading has not finished with it yet. Only Pass and Load are not failing.
enum class BoardVerdict : std::uint8_t { Pass = 0, Fail = 1, Load = 2, NotMeasured = 3, Loading = 4 };

// "PASS", "FAIL", "LOAD", "NOT_MEASURED", "LOADING": the names tools and records use.
const char* verdictName(BoardVerdict verdict);

// Counts for failCount and the head's signals.
bool countsAsFailing(BoardVerdict verdict);

// How long a judgement stands: counts older than this do not describe the board any more.
inline constexpr std::chrono::milliseconds kFreshFor{1000};

// Milliseconds on the steady clock, the time base of BoardPanel::countsAt.
std::int64_t steadyMillis();

// The published verdict as it stands at `nowMs`: a judgement of counts read at `countsAtMs`
// turns into NotMeasured once they are older than kFreshFor.
BoardVerdict verdictAt(BoardVerdict published, std::int64_t countsAtMs, std::int64_t nowMs);

enum class ChannelJudgement : std::uint8_t { Pass, Fail, NotJudged };

// Open, LowerOnly and UpperOnly are judged; every other mask value is not.
bool isJudgedMode(std::uint8_t mode);

ChannelJudgement judgeChannel(std::uint8_t mode, std::uint16_t raw, std::uint16_t thresholdHigh,
                              std::uint16_t thresholdLow);

// Pearson coefficient of raw counts against references over all 64 entries; entries that are not
// Open count as (0, 0). 0 when the denominator is 0.
double pearsonCoefficient(const BoardSnapshot& board);

// Verdict of one board given its Pearson coefficient (Pass, Fail or Load). Every channel entry
// is judged; a board is Load when none of its first channelCount channels is Open.
BoardVerdict boardVerdict(const BoardSnapshot& board, double pearson);

// One board judged in full: verdict, coefficient and every channel's judgement.
struct BoardJudgement {
    BoardVerdict verdict = BoardVerdict::NotMeasured;
    double pearson = 0.0;
    std::array<ChannelJudgement, kChannels> channels{};
};
BoardJudgement judgeBoard(const BoardSnapshot& board);

// Publishes a judgement into the panel for the view: verdict, coefficient (when the board's
// check is on) and the time its counts were read.
void publishVerdict(BoardPanel& panel, BoardVerdict verdict, double pearson, std::int64_t countsAtMs);

// Verdicts of the shown boards, row-major (index row * 4 + col), and their number of failures.
struct GridVerdict {
    std::array<BoardVerdict, 16> verdicts{};
    int failCount = 0;
};

// Judges every shown board of the grid from its panel as it is now, publishes each verdict (read
// now) and stores the number of failing boards in failCount (0 for an empty grid). For grids
// that no acquisition cycle feeds: tools and tests.
GridVerdict evaluateVerdicts(BoardGrid& grid);

} // namespace display
