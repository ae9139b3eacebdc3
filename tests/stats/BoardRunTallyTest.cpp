// A board's figures over a whole run, however long: a soak of --cycles 100000 must give the same
// mean and deviation as the counts do, with no overflow past the exact 64-bit range.
#include "stats/BoardRunTally.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

struct LongRunCase {
    std::string name;
    std::uint16_t even; // count of the even cycles
    std::uint16_t odd;  // count of the odd cycles
    int cycles;
    double mean;
    double sd;
};

class ChannelOverALongRun : public ::testing::TestWithParam<LongRunCase> {};

TEST_P(ChannelOverALongRun, HasTheFiguresOfItsCounts)
{
    const LongRunCase& c = GetParam();
    stats::BoardRunTally tally;
    for (int cycle = 0; cycle < c.cycles; ++cycle) {
        const std::array<stats::ChannelSample, 1> channel{{{cycle % 2 == 0 ? c.even : c.odd, true}}};
        tally.add(stats::Verdict::Pass, channel);
    }
    const stats::ChannelOverRun figures = tally.channel(0);
    EXPECT_EQ(figures.figures.samples, static_cast<std::uint32_t>(c.cycles));
    EXPECT_DOUBLE_EQ(figures.figures.mean, c.mean);
    EXPECT_NEAR(figures.figures.stddev, c.sd, 1e-6);
    EXPECT_EQ(tally.verdict(c.cycles), stats::Verdict::Pass);
}

INSTANTIATE_TEST_SUITE_P(
    Stats, ChannelOverALongRun,
    ::testing::Values(LongRunCase{"ExtremesWithinTheExactRange", 0, 65535, 65536, 32767.5, 32767.5},
                      LongRunCase{"ExtremesPastTheExactRange", 0, 65535, 200000, 32767.5, 32767.5},
                      LongRunCase{"SmallSpreadNearTheTopPastTheExactRange", 65525, 65535, 100000, 65530, 5},
                      LongRunCase{"SteadyNearTheTopForAMillionCycles", 65534, 65534, 1000000, 65534, 0}),
    [](const ::testing::TestParamInfo<LongRunCase>& p) { return p.param.name; });

TEST(BoardRunTally, ACycleThatDidNotShowTheBoardFailsIt)
{
    stats::BoardRunTally tally;
    const std::array<stats::ChannelSample, 2> channels{{{100, true}, {101, true}}};
    tally.add(stats::Verdict::Pass, channels);
    tally.add(stats::Verdict::Pass, channels);
    EXPECT_EQ(tally.verdict(2), stats::Verdict::Pass);
    // A run of three cycles in which the board was shown in two.
    EXPECT_EQ(tally.verdict(3), stats::Verdict::Fail);
    EXPECT_EQ(tally.failedCycles(3), 1);
    EXPECT_EQ(tally.judgedCycles(), 2);
}

} // namespace
