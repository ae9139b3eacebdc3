// Channel judgement, Pearson coefficient, board verdicts and failCount.
#include "display/Verdict.h"

#include "display/BoardGrid.h"
#include "setup/ChannelMode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace display {
namespace {

constexpr std::uint8_t kOpen = 0, kClosed = 1, kMasked = 2, kLowerOnly = 4, kUpperOnly = 8;

// Every channel Open, counts 500 within 100..1000, references near the counts.
BoardSnapshot passingBoard()
{
    BoardSnapshot b;
    for (int k = 0; k < kChannels; ++k) {
        b.thresholdHigh[k] = 1000;
        b.thresholdLow[k] = 100;
        b.reference[k] = static_cast<std::uint16_t>(400 + 3 * k);
        b.raw[k] = static_cast<std::uint16_t>(400 + 3 * k + (k % 5) * 7);
        b.order[k] = static_cast<std::uint8_t>(k);
    }
    b.channelCount = kChannels;
    return b;
}

struct VerdictCase {
    std::string name;
    std::function<void(BoardSnapshot&)> setup;
    BoardVerdict expected;
};

class BoardVerdictTest : public testing::TestWithParam<VerdictCase> {};

TEST_P(BoardVerdictTest, JudgesTheBoard)
{
    BoardSnapshot board = passingBoard();
    GetParam().setup(board);
    EXPECT_EQ(boardVerdict(board, pearsonCoefficient(board)), GetParam().expected);
}

void fillMask(BoardSnapshot& b, std::uint8_t m)
{
    b.mask.fill(m);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoardVerdictTest,
    testing::Values(
        VerdictCase{"AllWithinThresholdsPasses", [](BoardSnapshot&) {}, BoardVerdict::Pass},
        VerdictCase{"AllClosedLoads", [](BoardSnapshot& b) { fillMask(b, kClosed); }, BoardVerdict::Load},
        VerdictCase{"AllMaskedLoads", [](BoardSnapshot& b) { fillMask(b, kMasked); }, BoardVerdict::Load},
        VerdictCase{"LowerOnlyBelowItsThresholdWithoutOpenLoads",
                    [](BoardSnapshot& b) {
                        fillMask(b, kClosed);
                        b.mask[3] = kLowerOnly;
                        b.raw[3] = 5;
                    },
                    BoardVerdict::Load},
        VerdictCase{"OpenAboveUpperFails", [](BoardSnapshot& b) { b.raw[7] = 1001; }, BoardVerdict::Fail},
        VerdictCase{"OpenBelowLowerFails", [](BoardSnapshot& b) { b.raw[7] = 99; }, BoardVerdict::Fail},
        VerdictCase{"OpenOnBothLimitsPasses",
                    [](BoardSnapshot& b) {
                        b.raw[1] = 1000;
                        b.raw[2] = 100;
                    },
                    BoardVerdict::Pass},
        VerdictCase{"UpperOnlyFarBelowLowerPasses",
                    [](BoardSnapshot& b) {
                        b.mask[9] = kUpperOnly;
                        b.raw[9] = 0;
                    },
                    BoardVerdict::Pass},
        VerdictCase{"UpperOnlyAboveUpperFails",
                    [](BoardSnapshot& b) {
                        b.mask[9] = kUpperOnly;
                        b.raw[9] = 65535;
                    },
                    BoardVerdict::Fail},
        VerdictCase{"LowerOnlyFarAboveUpperPasses",
                    [](BoardSnapshot& b) {
                        b.mask[9] = kLowerOnly;
                        b.raw[9] = 65535;
                    },
                    BoardVerdict::Pass},
        VerdictCase{"UndefinedModeIsNotJudged",
                    [](BoardSnapshot& b) {
                        b.mask[9] = 3;
                        b.raw[9] = 65535;
                    },
                    BoardVerdict::Pass},
        VerdictCase{"OpenEntryBeyondChannelCountFails",
                    [](BoardSnapshot& b) {
                        b.channelCount = 8;
                        b.thresholdLow[40] = 600;
                        b.raw[40] = 10;
                    },
                    BoardVerdict::Fail},
        VerdictCase{"CustomOrderDoesNotHideAFailure",
                    [](BoardSnapshot& b) {
                        b.order.fill(0);
                        b.raw[20] = 2000;
                    },
                    BoardVerdict::Fail},
        VerdictCase{"PearsonBelowThresholdFails",
                    [](BoardSnapshot& b) {
                        b.pearsonEnable = 1;
                        b.pearsonThreshold = std::nextafter(pearsonCoefficient(b), 2.0);
                    },
                    BoardVerdict::Fail},
        VerdictCase{"PearsonEqualToThresholdPasses",
                    [](BoardSnapshot& b) {
                        b.pearsonEnable = 1;
                        b.pearsonThreshold = pearsonCoefficient(b);
                    },
                    BoardVerdict::Pass},
        VerdictCase{"PearsonThresholdIgnoredWhenCheckIsOff",
                    [](BoardSnapshot& b) { b.pearsonThreshold = 2.0; }, BoardVerdict::Pass},
        VerdictCase{"LoadWinsOverPearsonFailure",
                    [](BoardSnapshot& b) {
                        fillMask(b, kUpperOnly);
                        b.pearsonEnable = 1;
                        b.pearsonThreshold = 0.5;
                    },
                    BoardVerdict::Load},
        // Entries past the channel count stay Open from the panel's defaults: they decide
        // nothing about LOAD (a 40-channel board with every channel Closed passed before).
        VerdictCase{"FortyChannelsAllClosedLoads",
                    [](BoardSnapshot& b) {
                        b.channelCount = 40;
                        std::fill_n(b.mask.begin(), 40, kClosed);
                    },
                    BoardVerdict::Load},
        VerdictCase{"FortyChannelsAllClosedLoadsWithPearsonOn",
                    [](BoardSnapshot& b) {
                        b.channelCount = 40;
                        std::fill_n(b.mask.begin(), 40, kClosed);
                        b.pearsonEnable = 1;
                        b.pearsonThreshold = 0.9;
                    },
                    BoardVerdict::Load},
        VerdictCase{"OneOpenChannelBelowTheCountIsJudged",
                    [](BoardSnapshot& b) {
                        b.channelCount = 40;
                        std::fill_n(b.mask.begin(), 40, kClosed);
                        b.mask[39] = kOpen;
                        b.raw[39] = 2000;
                    },
                    BoardVerdict::Fail}),
    [](const testing::TestParamInfo<VerdictCase>& tp) { return tp.param.name; });

// judgeBoard gives the verdict boardVerdict gives, with each channel's judgement.
TEST(JudgeBoard, AgreesWithBoardVerdictAndNamesTheFailingChannels)
{
    BoardSnapshot b = passingBoard();
    b.raw[7] = 1001;
    b.mask[9] = kClosed;
    const BoardJudgement j = judgeBoard(b);
    EXPECT_EQ(j.verdict, BoardVerdict::Fail);
    EXPECT_EQ(j.verdict, boardVerdict(b, j.pearson));
    EXPECT_DOUBLE_EQ(j.pearson, pearsonCoefficient(b));
    EXPECT_EQ(j.channels[7], ChannelJudgement::Fail);
    EXPECT_EQ(j.channels[8], ChannelJudgement::Pass);
    EXPECT_EQ(j.channels[9], ChannelJudgement::NotJudged);
}

// A judgement stands while its counts are fresh; a board without one is never passing.
struct FreshnessCase {
    const char* name;
    BoardVerdict published;
    std::int64_t ageMs;
    BoardVerdict expected;
};

class VerdictFreshness : public testing::TestWithParam<FreshnessCase> {};

TEST_P(VerdictFreshness, OldCountsAreNotAMeasurement)
{
    const FreshnessCase& c = GetParam();
    constexpr std::int64_t now = 50'000;
    const BoardVerdict v = verdictAt(c.published, now - c.ageMs, now);
    EXPECT_EQ(v, c.expected);
    EXPECT_EQ(countsAsFailing(v), v != BoardVerdict::Pass && v != BoardVerdict::Load);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerdictFreshness,
    testing::Values(
        FreshnessCase{"PassFresh", BoardVerdict::Pass, 0, BoardVerdict::Pass},
        FreshnessCase{"PassAtOneSecond", BoardVerdict::Pass, 1000, BoardVerdict::Pass},
        FreshnessCase{"PassOlderThanOneSecond", BoardVerdict::Pass, 1001, BoardVerdict::NotMeasured},
        FreshnessCase{"LoadOlderThanOneSecond", BoardVerdict::Load, 5000, BoardVerdict::NotMeasured},
        FreshnessCase{"FailOlderThanOneSecond", BoardVerdict::Fail, 5000, BoardVerdict::NotMeasured},
        FreshnessCase{"LoadingStaysLoading", BoardVerdict::Loading, 5000, BoardVerdict::Loading},
        FreshnessCase{"NotMeasuredStays", BoardVerdict::NotMeasured, 0, BoardVerdict::NotMeasured}),
    [](const testing::TestParamInfo<FreshnessCase>& tp) { return std::string(tp.param.name); });

struct PearsonCase {
    std::string name;
    std::function<void(BoardSnapshot&)> setup;
    double expected;
};

class PearsonTest : public testing::TestWithParam<PearsonCase> {};

TEST_P(PearsonTest, Coefficient)
{
    BoardSnapshot board = passingBoard();
    GetParam().setup(board);
    EXPECT_NEAR(pearsonCoefficient(board), GetParam().expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PearsonTest,
    testing::Values(PearsonCase{"EqualCountsGiveZero", [](BoardSnapshot& b) { b.raw.fill(777); }, 0.0},
                    PearsonCase{"EqualReferencesGiveZero", [](BoardSnapshot& b) { b.reference.fill(777); },
                                0.0},
                    PearsonCase{"NothingOpenGivesZero", [](BoardSnapshot& b) { b.mask.fill(kClosed); }, 0.0},
                    PearsonCase{"ProportionalGivesOne",
                                [](BoardSnapshot& b) {
                                    for (int k = 0; k < kChannels; ++k)
                                        b.raw[k] = static_cast<std::uint16_t>(2 * b.reference[k]);
                                },
                                1.0},
                    PearsonCase{"MirroredGivesMinusOne",
                                [](BoardSnapshot& b) {
                                    for (int k = 0; k < kChannels; ++k)
                                        b.raw[k] = static_cast<std::uint16_t>(2000 - b.reference[k]);
                                },
                                -1.0},
                    // Channels that are not Open enter as (0, 0), whatever their counts, and entries beyond
                    // channelCount count as well: with raw = reference on the Open half and (0, 0) pairs on
                    // the other half the vectors are equal.
                    PearsonCase{"NotOpenEntriesCountAsZeroPairs",
                                [](BoardSnapshot& b) {
                                    b.channelCount = 4;
                                    for (int k = 0; k < kChannels; ++k) {
                                        b.raw[k] = b.reference[k];
                                        if (k >= 32) {
                                            b.mask[k] = kMasked;
                                            b.raw[k] = static_cast<std::uint16_t>(60000 - k * 900);
                                        }
                                    }
                                },
                                1.0}),
    [](const testing::TestParamInfo<PearsonCase>& tp) { return tp.param.name; });

TEST(ChannelJudgement, ComparesUnsignedCounts)
{
    EXPECT_EQ(judgeChannel(kOpen, 65535, 65534, 0), ChannelJudgement::Fail);
    EXPECT_EQ(judgeChannel(kOpen, 65535, 65535, 0), ChannelJudgement::Pass);
    EXPECT_EQ(judgeChannel(kClosed, 65535, 0, 0), ChannelJudgement::NotJudged);
    EXPECT_EQ(judgeChannel(16, 0, 0, 100), ChannelJudgement::NotJudged);
}

class GridVerdictTest : public testing::Test {
protected:
    GridCounts counts{2, 2};
    BoardGrid grid{counts};

    void makePassing(int row, int col)
    {
        BoardPanel& p = grid.panel(row, col);
        p.setChannelCount(kChannels);
        for (int k = 0; k < kChannels; ++k) {
            p.thresholdHigh[k] = 1000;
            p.thresholdLow[k] = 100;
            p.raw[k] = 500;
        }
    }
};

TEST_F(GridVerdictTest, CountsFailingBoardsButNotLoadingOnes)
{
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            makePassing(r, c);
    grid.panel(0, 0).raw[5] = 5000;
    grid.panel(0, 1).raw[63] = 1;
    const std::uint8_t closed[kChannels] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                            1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                            1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    grid.SetMasks(64, 1, 0, closed);
    grid.panel(1, 0).raw[0] = 9999;

    const GridVerdict v = evaluateVerdicts(grid);
    EXPECT_EQ(v.failCount, 2);
    EXPECT_EQ(grid.failCount.load(), 2);
    EXPECT_EQ(v.verdicts[0 * 4 + 0], BoardVerdict::Fail);
    EXPECT_EQ(v.verdicts[0 * 4 + 1], BoardVerdict::Fail);
    EXPECT_EQ(v.verdicts[1 * 4 + 0], BoardVerdict::Load);
    EXPECT_EQ(v.verdicts[1 * 4 + 1], BoardVerdict::Pass);
}

TEST_F(GridVerdictTest, BoardsOutsideTheShownGridAreNotJudged)
{
    makePassing(0, 0);
    grid.panel(3, 3).raw[0] = 60000; // would fail, but the grid is 1 x 1
    counts.set(1, 1);
    EXPECT_EQ(evaluateVerdicts(grid).failCount, 0);
}

TEST_F(GridVerdictTest, EmptyGridGivesZero)
{
    grid.panel(0, 0).raw[0] = 60000;
    grid.failCount = 5;
    counts.set(0, 0);
    EXPECT_EQ(evaluateVerdicts(grid).failCount, 0);
    EXPECT_EQ(grid.failCount.load(), 0);
}

TEST_F(GridVerdictTest, SettersCopyAtMost64EntriesAndIgnorePositionsOutsideStorage)
{
    std::uint16_t values[100];
    for (int i = 0; i < 100; ++i)
        values[i] = static_cast<std::uint16_t>(i + 1);
    grid.panel(1, 1).reference[10] = 4242;
    grid.SetReferences(5, 1, 1, values);
    EXPECT_EQ(grid.panel(1, 1).reference[4].load(), 5);
    EXPECT_EQ(grid.panel(1, 1).reference[10].load(), 4242); // later entries keep their values
    grid.SetThresholdsHigh(100, 2, 3, values);
    EXPECT_EQ(grid.panel(2, 3).thresholdHigh[63].load(), 64);
    grid.SetThresholdsLow(64, 4, 0, values); // outside the 4 x 4 storage: nothing happens
    grid.SetMasks(64, 0, -1, nullptr);
    grid.panel(0, 0).setRaw(values, -3);
    EXPECT_EQ(grid.panel(0, 0).raw[0].load(), 0);
    grid.setRaw(15, 15, values, 64); // a position nibble pair beyond the grid: ignored
    EXPECT_EQ(grid.panelAt(15, 15), nullptr);
    grid.setRaw(3, 0, values, 2);
    EXPECT_EQ(grid.panelAt(3, 0)->raw[1].load(), 2);
    EXPECT_EQ(grid.panelAt(3, 0)->raw[2].load(), 0);
}

} // namespace
} // namespace display
