#include "stats/BoardStatistics.h"

#include "stats/GridStatistics.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

using stats::BoardStatistics;
using stats::GridStatistics;

std::array<std::uint16_t, 64> cycleOf(std::uint16_t base)
{
    std::array<std::uint16_t, 64> counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<std::uint16_t>(base + i);
    return counts;
}

TEST(BoardStatisticsTest, ChannelsBeyondTheBoardsCountKeepTheirFigures)
{
    BoardStatistics board(10, 50);
    board.push(cycleOf(1000));
    const std::array<std::uint16_t, 64> second = cycleOf(2000);
    board.push(std::span(second).first(8)); // an 8-channel board
    const stats::BoardStatisticsSnapshot snapshot = board.snapshot();
    EXPECT_EQ(snapshot.cycles, 2U);
    EXPECT_EQ(snapshot.window, 10U);
    EXPECT_EQ(snapshot.channels[7].samples, 2U);
    EXPECT_EQ(snapshot.channels[7].mean, 1507.0);
    EXPECT_EQ(snapshot.last[7], 2007);
    EXPECT_EQ(snapshot.channels[8].samples, 1U);
    EXPECT_EQ(snapshot.last[8], 1008);
}

TEST(BoardStatisticsTest, TrendOfSeveralChannelsEndsAtTheSameCycle)
{
    BoardStatistics board(5, 4);
    for (std::uint16_t cycle = 0; cycle < 6; ++cycle)
        board.push(cycleOf(static_cast<std::uint16_t>(100 * cycle)));
    const std::array<int, 3> channels{3, 64, 0};
    const stats::BoardTrend trend = board.trend(channels, 10);
    EXPECT_EQ(trend.cycles, 6U);
    ASSERT_EQ(trend.counts.size(), 3U);
    // The ring is as long as the window (5 > 4): the last five cycles are kept.
    EXPECT_EQ(trend.counts[0], (std::vector<std::uint16_t>{103, 203, 303, 403, 503}));
    EXPECT_TRUE(trend.counts[1].empty());
    EXPECT_EQ(trend.counts[2].back(), 500);
}

TEST(GridStatisticsTest, PositionsOutsideTheGridAreIgnoredAndBoardsStaySeparate)
{
    GridStatistics grid(50, 300);
    grid.push(1, 2, cycleOf(10));
    grid.push(4, 0, cycleOf(99));
    grid.push(0, -1, cycleOf(99));
    EXPECT_EQ(grid.board(1, 2).cycles(), 1U);
    EXPECT_EQ(grid.board(2, 1).cycles(), 0U);
    EXPECT_EQ(grid.board(1, 2).snapshot().last[5], 15);
    grid.setWindow(3);
    EXPECT_EQ(grid.board(3, 3).snapshot().window, 3U);
    grid.clear();
    EXPECT_EQ(grid.board(1, 2).cycles(), 0U);
}

// The acquisition thread pushes whole cycles while the GUI thread reads: a reader never sees a
// board half way through a cycle (every channel of a cycle carries the same count here).
TEST(BoardStatisticsTest, ReaderNeverSeesHalfACycle)
{
    BoardStatistics board(8, 64);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (std::uint16_t cycle = 1; cycle < 3000; ++cycle) {
            std::array<std::uint16_t, 64> counts{};
            counts.fill(cycle);
            board.push(counts);
        }
        done.store(true);
    });
    const std::array<int, 2> channels{0, 63};
    int reads = 0;
    while (!done.load() || reads < 10) {
        const stats::BoardStatisticsSnapshot snapshot = board.snapshot();
        for (std::size_t i = 1; i < 64; ++i) {
            ASSERT_EQ(snapshot.last[i], snapshot.last[0]);
            ASSERT_EQ(snapshot.channels[i].mean, snapshot.channels[0].mean);
        }
        EXPECT_EQ(snapshot.last[0], snapshot.cycles);
        const stats::BoardTrend trend = board.trend(channels, 64);
        ASSERT_EQ(trend.counts[0], trend.counts[1]);
        if (!trend.counts[0].empty()) {
            EXPECT_EQ(trend.counts[0].back(), trend.cycles);
        }
        ++reads;
    }
    writer.join();
}

} // namespace
