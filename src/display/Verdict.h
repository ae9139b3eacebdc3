#pragma once

#include "display/BoardPanel.h"

#include <array>
#include <cstdint>

// Judgement of channels and boards, the Pearson coefficient and failCount: what decides PASS or
// FAIL, as plain functions over panel data.
namespace display {

class BoardGrid;

enum class BoardVerdict : std::uint8_t { Pass = 0, Fail = 1, Load = 2 };

enum class ChannelJudgement : std::uint8_t { Pass, Fail, NotJudged };

// Open, LowerOnly and UpperOnly are judged; every other mask value is not.
bool isJudgedMode(std::uint8_t mode);

ChannelJudgement judgeChannel(std::uint8_t mode, std::uint16_t raw, std::uint16_t thresholdHigh,
                              std::uint16_t thresholdLow);

// Pearson coefficient of raw counts against references over all 64 entries; entries that are not
// Open count as (0, 0). 0 when the denominator is 0.
double pearsonCoefficient(const BoardSnapshot& board);

// Verdict of one board given its Pearson coefficient (the one the painter stored).
BoardVerdict boardVerdict(const BoardSnapshot& board, double pearson);

// Verdicts of the shown boards, row-major (index row * 4 + col), and their number of failures.
struct GridVerdict {
    std::array<BoardVerdict, 16> verdicts{};
    int failCount = 0;
};

// Judges every shown board of the grid from its panel as it is now (stored `pearson`), and
// stores the number of failing boards in failCount (0 for an empty grid).
GridVerdict evaluateVerdicts(BoardGrid& grid);

} // namespace display
