#include "RunRecorder.h"

#include "SerialEntry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A board of 4 Open channels (reference 1000, limits 900..1100) whose counts are base + cycle.
RecorderBoard board(int index, RunVerdict verdict, int cycle, bool channel2Fails = false)
{
    RecorderBoard b;
    b.index = index;
    b.row = index / 4;
    b.col = index % 4;
    b.verdict = verdict;
    if (verdict == RunVerdict::NotMeasured)
        return b;
    for (int c = 0; c < 4; ++c) {
        RecorderChannel channel;
        channel.mode = verdict == RunVerdict::Load ? 1 : 0;
        channel.reference = 1000;
        channel.low = 900;
        channel.high = 1100;
        channel.count = static_cast<std::uint16_t>(1000 + 10 * c + 2 * cycle);
        channel.pass = !(c == 2 && channel2Fails);
        b.channels.push_back(channel);
    }
    return b;
}

class RecorderFixture : public testing::Test {
protected:
    RunRecorder recorder{[this](TestRun run) { runs.push_back(std::move(run)); }};
    std::vector<TestRun> runs;
    const std::chrono::system_clock::time_point t0 =
        std::chrono::system_clock::time_point(1'767'225'600'000ms);

    void feed(int cycle, std::vector<RecorderBoard> boards)
    {
        recorder.feed({t0 + cycle * 100ms, std::move(boards)});
    }
};

struct VerdictCase {
    std::string name;
    std::vector<RunVerdict> cycles;
    RunVerdict expected;
    int failedCycles;
};

class RunVerdictOverCycles : public RecorderFixture, public testing::WithParamInterface<VerdictCase> {};

TEST_P(RunVerdictOverCycles, FollowsTheJudgedCycles)
{
    const auto& c = GetParam();
    ASSERT_TRUE(recorder.start({}, static_cast<int>(c.cycles.size())));
    for (std::size_t i = 0; i < c.cycles.size(); ++i)
        feed(static_cast<int>(i),
             {board(0, c.cycles[i], static_cast<int>(i), c.cycles[i] == RunVerdict::Fail)});
    ASSERT_EQ(runs.size(), 1U);
    ASSERT_EQ(runs[0].boards.size(), 1U);
    EXPECT_EQ(runs[0].boards[0].verdict, c.expected);
    EXPECT_EQ(runs[0].boards[0].failedCycles, c.failedCycles);
}

constexpr auto P = RunVerdict::Pass;
constexpr auto F = RunVerdict::Fail;
constexpr auto L = RunVerdict::Load;
constexpr auto N = RunVerdict::NotMeasured;

// A cycle that did not measure the board fails that cycle, as in the tool's measure: a board
// is never PASS on fewer cycles than its run had, and LOAD only when every cycle found it so.
INSTANTIATE_TEST_SUITE_P(Results, RunVerdictOverCycles,
                         testing::Values(VerdictCase{"EveryCyclePassed", {P, P, P, P, P}, P, 0},
                                         VerdictCase{"OneCycleFailed", {P, P, F, P, P}, F, 1},
                                         VerdictCase{"LastCycleFailed", {P, P, P, P, F}, F, 1},
                                         VerdictCase{"NoOpenChannel", {L, L, L}, L, 0},
                                         VerdictCase{"NeverMeasured", {N, N, N}, N, 3},
                                         VerdictCase{"NotMeasuredInTwoCyclesFails", {N, P, N, P, P}, F, 2},
                                         VerdictCase{"LoadAndFail", {L, F, L}, F, 1},
                                         VerdictCase{"PassAndLoadIsNoPass", {P, L, P}, F, 0}),
                         [](const testing::TestParamInfo<VerdictCase>& p) { return p.param.name; });

TEST_F(RecorderFixture, ChannelFiguresAreThoseOfTheRunsCountsAndAFailInOneCycleFailsTheChannel)
{
    RunRecorder::RunInfo info;
    info.stationId = "bench-3";
    info.setupHash = "abc";
    info.serials = {{1, "SN-1"}};
    ASSERT_TRUE(recorder.start(info, 5));
    for (int cycle = 0; cycle < 5; ++cycle)
        feed(cycle, {board(0, P, cycle), board(1, cycle == 3 ? F : P, cycle, cycle == 3)});
    ASSERT_EQ(runs.size(), 1U);
    const auto& run = runs[0];
    EXPECT_EQ(run.cycleCount, 5);
    EXPECT_EQ(run.startedAt, "2026-01-01T00:00:00.000Z");
    EXPECT_EQ(run.endedAt, "2026-01-01T00:00:00.400Z");
    EXPECT_EQ(run.stationId, "bench-3");
    EXPECT_EQ(run.setupHash, "abc");
    EXPECT_EQ(run.id.size(), 36U);
    ASSERT_EQ(run.boards.size(), 2U);
    EXPECT_EQ(run.boards[0].serial, "");
    EXPECT_EQ(run.boards[1].serial, "SN-1");
    EXPECT_EQ(run.boards[1].verdict, F);
    ASSERT_EQ(run.boards[1].channels.size(), 4U);
    const auto& channel2 = run.boards[1].channels[2];
    // Counts 1020, 1022, 1024, 1026, 1028.
    EXPECT_DOUBLE_EQ(channel2.mean, 1024.0);
    EXPECT_EQ(channel2.min, 1020);
    EXPECT_EQ(channel2.max, 1028);
    EXPECT_NEAR(channel2.sd, std::sqrt(8.0), 1e-9);
    EXPECT_FALSE(channel2.pass);
    EXPECT_TRUE(run.boards[1].channels[1].pass);
    EXPECT_TRUE(run.boards[0].channels[2].pass);
    EXPECT_EQ(channel2.reference, 1000);
    EXPECT_EQ(channel2.low, 900);
    EXPECT_EQ(channel2.high, 1100);
}

TEST_F(RecorderFixture, TakesOnlyTheCyclesOfOneRunAtATime)
{
    feed(0, {board(0, F, 0, true)}); // before the run: not taken
    ASSERT_TRUE(recorder.start({}, 2));
    EXPECT_FALSE(recorder.start({}, 2)) << "a run is already going";
    EXPECT_TRUE(recorder.running());
    feed(1, {board(0, P, 1)});
    EXPECT_TRUE(runs.empty());
    feed(2, {board(0, P, 2)});
    feed(3, {board(0, F, 3, true)}); // after the run: not taken
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].boards[0].verdict, P);
    EXPECT_FALSE(recorder.running());

    ASSERT_TRUE(recorder.start({}, 2));
    feed(4, {board(0, P, 4)});
    recorder.cancel();
    feed(5, {board(0, P, 5)});
    feed(6, {board(0, P, 6)});
    EXPECT_EQ(runs.size(), 1U) << "a cancelled run is not recorded";
}

TEST_F(RecorderFixture, SkipsTheCycleUnderWayWhenTheRunWasAskedFor)
{
    ASSERT_TRUE(recorder.start({}, 2, 1));
    feed(0, {board(0, F, 0, true)}); // read before the run: the panel may not be on the fixture yet
    feed(1, {board(0, P, 1)});
    EXPECT_TRUE(runs.empty());
    feed(2, {board(0, P, 2)});
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].boards[0].verdict, P);
    EXPECT_EQ(runs[0].cycleCount, 2);
}

TEST_F(RecorderFixture, PearsonKeepsTheLowestCoefficientOfTheRun)
{
    ASSERT_TRUE(recorder.start({}, 3));
    for (int cycle = 0; cycle < 3; ++cycle) {
        auto b = board(0, P, cycle);
        b.pearsonEnabled = true;
        b.pearson = cycle == 1 ? 0.91 : 0.97;
        b.pearsonThreshold = 0.9;
        feed(cycle, {b});
    }
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].boards[0].pearson, 0.91);
    EXPECT_EQ(runs[0].boards[0].pearsonThreshold, 0.9);
}

TEST(SerialEntry, FillsTheBoardsInPositionOrderAndRefusesASerialTwice)
{
    SerialEntry entry({0, 1, 4});
    EXPECT_EQ(entry.nextBoard(), 0);
    EXPECT_EQ(entry.add("  A-1\r"), SerialEntry::Outcome::Accepted);
    EXPECT_EQ(entry.add("   "), SerialEntry::Outcome::Empty);
    EXPECT_EQ(entry.nextBoard(), 1);
    EXPECT_EQ(entry.add("A-1"), SerialEntry::Outcome::Duplicate);
    EXPECT_EQ(entry.nextBoard(), 1) << "a refused serial takes no board";
    EXPECT_EQ(entry.add("A-2"), SerialEntry::Outcome::Accepted);
    EXPECT_EQ(entry.remaining(), 1);
    EXPECT_EQ(entry.add("A-3"), SerialEntry::Outcome::Complete);
    EXPECT_EQ(entry.serials(), (std::map<int, std::string>{{0, "A-1"}, {1, "A-2"}, {4, "A-3"}}));
    entry.clear();
    EXPECT_EQ(entry.nextBoard(), 0);
    EXPECT_EQ(entry.add("A-1"), SerialEntry::Outcome::Accepted) << "a new run may use it again";
}

} // namespace
