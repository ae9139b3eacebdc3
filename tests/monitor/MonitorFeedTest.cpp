#include "monitor/MonitorFeed.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

monitor::JudgedBoard judgedAt(std::uint16_t count)
{
    monitor::JudgedBoard judged;
    judged.counts.fill(count);
    judged.low.fill(count);
    judged.high.fill(count);
    return judged;
}

TEST(MonitorFeedTest, KeepsTheLatestJudgementAndFeedsOnlyTheBoardsChannels)
{
    monitor::MonitorFeed feed;
    EXPECT_FALSE(feed.latest(1, 1).has_value());
    feed.boardJudged(1, 1, judgedAt(100), 10);
    feed.boardJudged(1, 1, judgedAt(200), 10);
    feed.boardJudged(5, 1, judgedAt(300), 10); // outside the storage
    ASSERT_TRUE(feed.latest(1, 1).has_value());
    EXPECT_EQ(feed.latest(1, 1)->counts[0], 200);
    const stats::BoardStatisticsSnapshot snapshot = feed.statistics().board(1, 1).snapshot();
    EXPECT_EQ(snapshot.channels[9].samples, 2U);
    EXPECT_EQ(snapshot.channels[9].mean, 150.0);
    EXPECT_EQ(snapshot.channels[10].samples, 0U);
    feed.forget(1, 1);
    EXPECT_FALSE(feed.latest(1, 1).has_value());
    EXPECT_EQ(feed.statistics().board(1, 1).cycles(), 2U);
}

// The acquisition thread feeds while the GUI thread reads: a judgement read is always one
// cycle's, never half of two.
TEST(MonitorFeedTest, ReaderSeesWholeJudgements)
{
    monitor::MonitorFeed feed;
    std::atomic<bool> done{false};
    std::thread cycle([&] {
        for (std::uint16_t k = 1; k < 3000; ++k)
            feed.boardJudged(0, 0, judgedAt(k), 64);
        done.store(true);
    });
    while (!done.load()) {
        const std::optional<monitor::JudgedBoard> judged = feed.latest(0, 0);
        if (!judged)
            continue;
        for (std::size_t i = 0; i < 64; ++i) {
            ASSERT_EQ(judged->counts[i], judged->counts[0]);
            ASSERT_EQ(judged->high[i], judged->counts[0]);
        }
    }
    cycle.join();
}

} // namespace
