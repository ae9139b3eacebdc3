// A board's verdict over several cycles, from each cycle's own verdicts.
#include "MeasureTally.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using display::BoardVerdict;

display::BoardResult board(BoardVerdict state, std::vector<std::uint16_t> counts = {100, 100})
{
    display::BoardResult b;
    b.row = 1;
    b.col = 2;
    b.boardIndex = 6;
    b.channelCount = static_cast<int>(counts.size());
    b.state = state;
    const bool judged =
        state == BoardVerdict::Pass || state == BoardVerdict::Fail || state == BoardVerdict::Load;
    if (judged)
        for (std::uint16_t count : counts) {
            display::ChannelResult c;
            c.count = count;
            c.low = 90;
            c.high = 110;
            c.judged = true;
            c.pass = count >= 90 && count <= 110;
            b.channels.push_back(c);
        }
    for (std::size_t i = 0; i < b.channels.size(); ++i)
        if (!b.channels[i].pass)
            b.failingChannels.push_back(static_cast<int>(i));
    return b;
}

display::CycleResult cycle(std::vector<display::BoardResult> boards)
{
    display::CycleResult r;
    r.boards = std::move(boards);
    return r;
}

struct TallyCase {
    const char* name;
    std::vector<std::vector<BoardVerdict>> cycles; // per cycle: the board's state, or none when absent
    const char* verdict;
    int failedCycles;
};

void PrintTo(const TallyCase& c, std::ostream* os)
{
    *os << c.name;
}

class BoardOverCycles : public ::testing::TestWithParam<TallyCase> {};

TEST_P(BoardOverCycles, Verdict)
{
    cli::MeasureTally tally;
    for (const auto& states : GetParam().cycles) {
        std::vector<display::BoardResult> boards;
        for (BoardVerdict state : states)
            boards.push_back(board(state));
        tally.add(cycle(boards));
    }
    const auto summary = tally.summary();
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].verdict, GetParam().verdict);
    EXPECT_EQ(summary[0].failedCycles, GetParam().failedCycles);
    EXPECT_EQ(cli::MeasureTally::allPassed(summary), std::string(GetParam().verdict) == "PASS");
}

constexpr BoardVerdict P = BoardVerdict::Pass;
constexpr BoardVerdict F = BoardVerdict::Fail;
constexpr BoardVerdict L = BoardVerdict::Load;
constexpr BoardVerdict N = BoardVerdict::NotMeasured;
constexpr BoardVerdict G = BoardVerdict::Loading;

INSTANTIATE_TEST_SUITE_P(
    Cli, BoardOverCycles,
    ::testing::Values(TallyCase{"PassInEveryCycle", {{P}, {P}, {P}}, "PASS", 0},
                      TallyCase{"OneFailedCycleFails", {{P}, {F}, {P}}, "FAIL", 1},
                      TallyCase{"NotMeasuredOnceFailsThatCycle", {{P}, {N}, {P}}, "FAIL", 1},
                      TallyCase{"StillLoadingFailsThatCycle", {{G}, {P}, {P}}, "FAIL", 1},
                      TallyCase{"AbsentFromACycleFailsThatCycle", {{P}, {}, {P}}, "FAIL", 1},
                      TallyCase{"NeverMeasured", {{N}, {N}}, "NOT_MEASURED", 2},
                      TallyCase{"NoOpenChannelIsLoad", {{L}, {L}}, "LOAD", 0},
                      TallyCase{"LoadWithAnUnmeasuredCycleFails", {{L}, {N}}, "FAIL", 1}),
    [](const ::testing::TestParamInfo<TallyCase>& info) { return std::string(info.param.name); });

TEST(MeasureTally, NoBoardIsNoPass)
{
    cli::MeasureTally tally;
    tally.add(cycle({}));
    EXPECT_FALSE(cli::MeasureTally::allPassed(tally.summary()));
}

TEST(MeasureTally, ChannelStatisticsOverTheMeasuredCycles)
{
    cli::MeasureTally tally;
    tally.add(cycle({board(P, {100, 95})}));
    tally.add(cycle({board(N)}));
    tally.add(cycle({board(F, {104, 80})}));
    const auto summary = tally.summary();
    ASSERT_EQ(summary.size(), 1u);
    const cli::BoardSummary& b = summary[0];
    EXPECT_EQ(b.measuredCycles, 2);
    EXPECT_EQ(b.failedCycles, 2);
    EXPECT_EQ(b.failing, std::vector<int>{1});
    ASSERT_EQ(b.channels.size(), 2u);
    EXPECT_EQ(b.channels[0].last, 104);
    EXPECT_DOUBLE_EQ(b.channels[0].mean, 102.0);
    EXPECT_EQ(b.channels[0].min, 100);
    EXPECT_EQ(b.channels[0].max, 104);
    EXPECT_DOUBLE_EQ(b.channels[0].sd, 2.0);
    EXPECT_TRUE(b.channels[0].pass);
    EXPECT_FALSE(b.channels[1].pass);
    EXPECT_EQ(b.channels[1].samples, 2);
}

TEST(MeasureTally, PearsonIsTheLowestOfTheCyclesWhenEnabled)
{
    cli::MeasureTally tally;
    for (double pearson : {0.98, 0.91, 0.95}) {
        display::BoardResult b = board(P);
        b.pearsonEnabled = true;
        b.pearson = pearson;
        b.pearsonThreshold = 0.9;
        tally.add(cycle({b}));
    }
    const auto summary = tally.summary();
    ASSERT_TRUE(summary[0].pearson.has_value());
    EXPECT_DOUBLE_EQ(*summary[0].pearson, 0.91);
    EXPECT_DOUBLE_EQ(summary[0].pearsonThreshold.value_or(0), 0.9);

    cli::MeasureTally off;
    off.add(cycle({board(P)}));
    EXPECT_FALSE(off.summary()[0].pearson.has_value());
}

} // namespace
