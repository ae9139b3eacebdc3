#include "monitor/MonitorRows.h"

#include "monitor/MonitorColumns.h"
#include "monitor/MonitorTexts.h"
#include "setup/ChannelMode.h"
#include "stats/RollingWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using display::ChannelJudgement;
using monitor::ChannelRow;
using monitor::MonitorInput;

constexpr auto kOpen = static_cast<std::uint8_t>(ChannelMode::Open);
constexpr auto kClosed = static_cast<std::uint8_t>(ChannelMode::Closed);
constexpr auto kLowerOnly = static_cast<std::uint8_t>(ChannelMode::LowerOnly);
constexpr auto kUpperOnly = static_cast<std::uint8_t>(ChannelMode::UpperOnly);

// A board of `channels` channels, every one Open at reference 1000 with limits 900..1100, counts
// 1000 and a judged pass, identity order.
MonitorInput board(int channels)
{
    MonitorInput input;
    input.panel.channelCount = static_cast<std::uint8_t>(channels);
    for (std::size_t i = 0; i < 64; ++i) {
        input.panel.order[i] = static_cast<std::uint8_t>(i);
        input.panel.mask[i] = kOpen;
        input.panel.reference[i] = 1000;
        input.judged.low[i] = 900;
        input.judged.high[i] = 1100;
        input.judged.counts[i] = 1000;
        input.judged.judgement[i] = ChannelJudgement::Pass;
    }
    input.judged.verdict = display::BoardVerdict::Pass;
    return input;
}

// Figures of a window of the given counts, as the statistics give them.
stats::ChannelStatistics figuresOf(std::initializer_list<std::uint16_t> counts)
{
    stats::RollingWindow window(50);
    for (const std::uint16_t count : counts)
        window.push(count);
    return window.statistics();
}

struct MarginCase {
    std::string name;
    std::uint8_t mode;
    std::uint16_t last;
    ChannelJudgement judgement;
    std::optional<int> margin;
};

std::ostream& operator<<(std::ostream& out, const MarginCase& c)
{
    return out << c.name;
}

// Limits 900..1100: the margin is the distance of the last count to the nearer limit the mode
// judges against, negative outside it.
const MarginCase kMargins[] = {
    {"OpenNearerLow", kOpen, 950, ChannelJudgement::Pass, 50},
    {"OpenNearerHigh", kOpen, 1090, ChannelJudgement::Pass, 10},
    {"OpenOnTheLimit", kOpen, 1100, ChannelJudgement::Pass, 0},
    {"OpenBelowLow", kOpen, 700, ChannelJudgement::Fail, -200},
    {"OpenAboveHigh", kOpen, 1150, ChannelJudgement::Fail, -50},
    {"LowerOnlyFarAboveHigh", kLowerOnly, 5000, ChannelJudgement::Pass, 4100},
    {"LowerOnlyBelowLow", kLowerOnly, 899, ChannelJudgement::Fail, -1},
    {"UpperOnlyFarBelowLow", kUpperOnly, 10, ChannelJudgement::Pass, 1090},
    {"UpperOnlyAboveHigh", kUpperOnly, 1101, ChannelJudgement::Fail, -1},
    {"ClosedHasNone", kClosed, 5, ChannelJudgement::NotJudged, std::nullopt},
};

class MonitorMargin : public testing::TestWithParam<MarginCase> {};

TEST_P(MonitorMargin, LastCountToTheNearerJudgedLimit)
{
    const MarginCase& c = GetParam();
    MonitorInput input = board(4);
    input.panel.mask[2] = c.mode;
    input.judged.counts[2] = c.last;
    input.judged.judgement[2] = c.judgement;
    input.statistics.channels[2] = figuresOf({c.last, static_cast<std::uint16_t>(c.last + 4)});
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    ASSERT_EQ(rows.size(), 4U);
    EXPECT_EQ(rows[2].margin, c.margin);
    if (c.margin) {
        ASSERT_TRUE(rows[2].marginSigma.has_value());
        EXPECT_DOUBLE_EQ(*rows[2].marginSigma, *c.margin / 2.0); // stddev of {x, x + 4} is 2
    } else {
        EXPECT_FALSE(rows[2].marginSigma.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, MonitorMargin, testing::ValuesIn(kMargins),
                         [](const testing::TestParamInfo<MarginCase>& param) { return param.param.name; });

// The pass shown is the one the cycle judged: a count inside the limits that the cycle judged
// failing (it read another count) stays failing here, and the other way round.
TEST(MonitorRowsTest, PassComesFromTheCyclesJudgementNotFromAJudgementOfItsOwn)
{
    MonitorInput input = board(3);
    input.judged.judgement[0] = ChannelJudgement::Fail;
    input.judged.counts[1] = 5;
    input.judged.judgement[1] = ChannelJudgement::Pass;
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    EXPECT_TRUE(rows[0].failing());
    EXPECT_FALSE(rows[1].failing());
    EXPECT_EQ(monitor::cellText(rows[0], monitor::Column::Pass, true), "FAIL");
    EXPECT_EQ(monitor::cellText(rows[1], monitor::Column::Pass, true), "PASS");
}

TEST(MonitorRowsTest, RowsFollowTheDisplayOrderAndSkipOrderEntriesNamingNoChannel)
{
    MonitorInput input = board(4);
    input.panel.order[0] = 3;
    input.panel.order[1] = 200;
    input.panel.order[2] = 0;
    input.panel.order[3] = 1;
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].channel, 3);
    EXPECT_EQ(rows[0].position, 0);
    EXPECT_EQ(rows[1].channel, 0);
    EXPECT_EQ(rows[2].channel, 1);
}

TEST(MonitorRowsTest, DriftOfTheMeanFromTheReference)
{
    MonitorInput input = board(2);
    input.panel.reference[1] = 0;
    input.statistics.channels[0] = figuresOf({1040, 1060});
    input.statistics.channels[1] = figuresOf({30});
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    EXPECT_DOUBLE_EQ(rows[0].drift, 50.0);
    EXPECT_DOUBLE_EQ(rows[0].driftPercent.value_or(0), 5.0);
    EXPECT_EQ(monitor::cellText(rows[0], monitor::Column::Drift, true), "+50.0");
    EXPECT_EQ(monitor::cellText(rows[0], monitor::Column::DriftPercent, true), "+5.00");
    EXPECT_FALSE(rows[1].driftPercent.has_value()); // no percentage of a zero reference
    // A drift that rounds to zero reads without a sign.
    input.statistics.channels[0] =
        figuresOf({999,  1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000,
                   1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000});
    const std::vector<ChannelRow> small = monitor::monitorRows(input);
    EXPECT_EQ(monitor::cellText(small[0], monitor::Column::Drift, true), "0.0");
    EXPECT_EQ(monitor::cellText(small[0], monitor::Column::DriftPercent, true), "0.00");
    input.statistics.channels[0] = figuresOf({999, 1000});
    EXPECT_EQ(monitor::cellText(monitor::monitorRows(input)[0], monitor::Column::Drift, true), "-0.5");
    EXPECT_EQ(monitor::cellText(rows[1], monitor::Column::DriftPercent, true), "-");
}

TEST(MonitorRowsTest, SummaryNamesTheWorstChannelAndTheNoiseOfTheJudgedOnes)
{
    MonitorInput input = board(5);
    input.judged.verdict = display::BoardVerdict::Fail;
    input.judged.pearson = 0.95;
    input.panel.pearsonEnable = 1;
    input.panel.pearsonThreshold = 0.9;
    input.judged.counts[3] = 850;
    input.judged.judgement[3] = ChannelJudgement::Fail;
    input.statistics.channels[0] = figuresOf({1000, 1002});       // stddev 1
    input.statistics.channels[1] = figuresOf({1000, 1006});       // 3
    input.statistics.channels[2] = figuresOf({1000, 1004});       // 2
    input.statistics.channels[3] = figuresOf({850, 854});         // 2
    input.statistics.channels[4] = figuresOf({1000, 1000 + 100}); // 50, but not judged
    input.panel.mask[4] = kClosed;
    input.judged.judgement[4] = ChannelJudgement::NotJudged;
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    const monitor::BoardSummary summary = monitor::summarize(input, rows);
    ASSERT_TRUE(summary.worst.has_value());
    EXPECT_EQ(summary.worst->channel, 3);
    EXPECT_EQ(summary.worst->margin, -50);
    EXPECT_DOUBLE_EQ(summary.noiseMedian, 2.0);
    EXPECT_DOUBLE_EQ(summary.noiseMax, 3.0);
    EXPECT_EQ(monitor::text::summaryText(summary, true),
              "FAIL    Pearson 0.9500 (threshold 0.9000)    Worst: ch 3, margin -50 (-25.0 σ)"
              "    Noise: median 2.00, max 3.00");
    EXPECT_EQ(monitor::defaultTrendChannels(rows, 8), std::vector<int>{3});
}

TEST(MonitorRowsTest, TrendDefaultsToTheSmallestMarginWhenNothingFails)
{
    MonitorInput input = board(4);
    input.judged.counts[2] = 1095;
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    EXPECT_EQ(monitor::defaultTrendChannels(rows, 8), std::vector<int>{2});
    for (auto& mode : input.panel.mask)
        mode = kClosed;
    for (auto& judgement : input.judged.judgement)
        judgement = ChannelJudgement::NotJudged;
    EXPECT_TRUE(monitor::defaultTrendChannels(monitor::monitorRows(input), 8).empty());
}

TEST(MonitorColumnsTest, FailingChannelsSortFirstAndMissingFiguresLast)
{
    MonitorInput input = board(3);
    input.judged.counts[0] = 800;
    input.judged.judgement[0] = ChannelJudgement::Fail;
    input.panel.mask[2] = kClosed;
    input.judged.judgement[2] = ChannelJudgement::NotJudged;
    const std::vector<ChannelRow> rows = monitor::monitorRows(input);
    EXPECT_LT(monitor::sortKey(rows[0], monitor::Column::Pass),
              monitor::sortKey(rows[1], monitor::Column::Pass));
    EXPECT_LT(monitor::sortKey(rows[0], monitor::Column::Margin),
              monitor::sortKey(rows[1], monitor::Column::Margin));
    EXPECT_LT(monitor::sortKey(rows[1], monitor::Column::Margin),
              monitor::sortKey(rows[2], monitor::Column::Margin));
}

TEST(MonitorColumnsTest, CsvHasTheShownColumnsAndQuotesWhereNeeded)
{
    MonitorInput input = board(1);
    input.statistics.channels[0] = figuresOf({1000, 1002});
    const std::string csv = monitor::tableCsv(monitor::monitorRows(input), true);
    EXPECT_EQ(
        csv,
        "Channel,Mode,Reference,Low,High,Last,Mean,Std dev,Peak-peak,Drift,Drift %,Margin,Margin σ,Pass\r\n"
        "0,Open,1000,900,1100,1000,1001.0,1.00,2,+1.0,+0.10,100,100.0,PASS\r\n");
    const std::string chinese = monitor::tableCsv({}, false);
    EXPECT_EQ(chinese.substr(0, 13), "通道,模式");
}

} // namespace
