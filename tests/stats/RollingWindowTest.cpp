#include "stats/RollingWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using stats::ChannelStatistics;
using stats::RollingWindow;

std::vector<std::uint16_t> repeat(std::uint16_t count, std::size_t times)
{
    return std::vector<std::uint16_t>(times, count);
}

std::vector<std::uint16_t> alternate(std::uint16_t a, std::uint16_t b, std::size_t times)
{
    std::vector<std::uint16_t> counts;
    for (std::size_t i = 0; i < times; ++i)
        counts.push_back(i % 2 == 0 ? a : b);
    return counts;
}

std::vector<std::uint16_t> ramp(std::uint16_t first, std::size_t length)
{
    std::vector<std::uint16_t> counts;
    for (std::size_t i = 0; i < length; ++i)
        counts.push_back(static_cast<std::uint16_t>(first + i));
    return counts;
}

std::vector<std::uint16_t> spike(std::uint16_t base, std::uint16_t peak, std::size_t before,
                                 std::size_t after)
{
    std::vector<std::uint16_t> counts = repeat(base, before);
    counts.push_back(peak);
    const std::vector<std::uint16_t> tail = repeat(base, after);
    counts.insert(counts.end(), tail.begin(), tail.end());
    return counts;
}

struct SequenceCase {
    std::string name;
    std::vector<std::uint16_t> counts;
    std::size_t window;
    ChannelStatistics expected;
};

std::ostream& operator<<(std::ostream& out, const SequenceCase& c)
{
    return out << c.name;
}

ChannelStatistics figures(std::uint32_t samples, double mean, std::uint16_t min, std::uint16_t max,
                          double stddev)
{
    return ChannelStatistics{samples, mean, min, max, stddev};
}

// Expected figures worked out by hand: population standard deviation over the window.
const SequenceCase kSequences[] = {
    {"Empty", {}, 50, figures(0, 0, 0, 0, 0)},
    {"ConstantShorterThanWindow", repeat(1000, 10), 50, figures(10, 1000, 1000, 1000, 0)},
    {"ConstantLongerThanWindow", repeat(7, 100), 10, figures(10, 7, 7, 7, 0)},
    {"AlternatingShorterThanWindow", alternate(100, 200, 20), 50, figures(20, 150, 100, 200, 50)},
    {"AlternatingEvenWindow", alternate(100, 200, 21), 4, figures(4, 150, 100, 200, 50)},
    // The last three of 100, 200, ..., 100: 100, 200, 100.
    {"AlternatingOddWindow", alternate(100, 200, 21), 3,
     figures(3, 400.0 / 3, 100, 200, std::sqrt(20000.0 / 9))},
    // Nine deviations of -100 and one of +900: variance 90000.
    {"SpikeInWindow", spike(1000, 2000, 4, 5), 10, figures(10, 1100, 1000, 2000, 300)},
    {"SpikeLeftTheWindow", spike(1000, 2000, 4, 10), 5, figures(5, 1000, 1000, 1000, 0)},
    {"SpikeIsLatest", spike(1000, 2000, 30, 0), 4, figures(4, 1250, 1000, 2000, std::sqrt(187500.0))},
    {"RampWholeWindow", ramp(0, 100), 100, figures(100, 49.5, 0, 99, std::sqrt(9999.0 / 12))},
    {"RampWindowShorter", ramp(0, 100), 10, figures(10, 94.5, 90, 99, std::sqrt(99.0 / 12))},
    {"RampWindowLonger", ramp(1, 5), 50, figures(5, 3, 1, 5, std::sqrt(2.0))},
    {"ZeroConstant", repeat(0, 60), 50, figures(50, 0, 0, 0, 0)},
    {"NearZeroAlternating", alternate(0, 1, 60), 50, figures(50, 0.5, 0, 1, 0.5)},
    {"FullScaleConstantLargestWindow", repeat(65535, 5000), 4096, figures(4096, 65535, 65535, 65535, 0)},
    {"NearFullScaleAlternating", alternate(65534, 65535, 5000), 4096,
     figures(4096, 65534.5, 65534, 65535, 0.5)},
    {"ZeroAndFullScaleAlternating", alternate(0, 65535, 5000), 4096,
     figures(4096, 32767.5, 0, 65535, 32767.5)},
    {"OneCountNearFullScale", spike(65535, 65534, 4095, 0), 4096,
     figures(4096, 65535 - 1.0 / 4096, 65534, 65535, std::sqrt(4095.0) / 4096)},
};

class RollingWindowSequence : public testing::TestWithParam<SequenceCase> {};

// Each sequence runs through a ring just as long as the window and through a longer trend ring:
// the figures must not depend on where the window sits in the ring.
TEST_P(RollingWindowSequence, FiguresOverTheLastWindowOfCounts)
{
    const SequenceCase& c = GetParam();
    for (const std::size_t history : {std::size_t{0}, c.window + 7, std::size_t{4096}}) {
        SCOPED_TRACE("history " + std::to_string(history));
        RollingWindow window(c.window, history);
        for (const std::uint16_t count : c.counts)
            window.push(count);
        const ChannelStatistics got = window.statistics();
        EXPECT_EQ(got.samples, c.expected.samples);
        EXPECT_NEAR(got.mean, c.expected.mean, 1e-9);
        EXPECT_EQ(got.min, c.expected.min);
        EXPECT_EQ(got.max, c.expected.max);
        EXPECT_EQ(got.peakToPeak(), c.expected.max - c.expected.min);
        EXPECT_NEAR(got.stddev, c.expected.stddev, 1e-9);
        EXPECT_EQ(window.last(), c.counts.empty() ? 0 : c.counts.back());
    }
}

INSTANTIATE_TEST_SUITE_P(KnownSequences, RollingWindowSequence, testing::ValuesIn(kSequences),
                         [](const testing::TestParamInfo<SequenceCase>& param) { return param.param.name; });

// A direct two-pass computation over the last K counts: the reference for long random runs.
ChannelStatistics direct(const std::vector<std::uint16_t>& counts, std::size_t window)
{
    const std::size_t n = std::min(counts.size(), window);
    ChannelStatistics result;
    if (n == 0)
        return result;
    const auto first = counts.end() - static_cast<std::ptrdiff_t>(n);
    result.samples = static_cast<std::uint32_t>(n);
    result.min = *std::min_element(first, counts.end());
    result.max = *std::max_element(first, counts.end());
    double sum = 0;
    for (auto it = first; it != counts.end(); ++it)
        sum += *it;
    result.mean = sum / static_cast<double>(n);
    double squares = 0;
    for (auto it = first; it != counts.end(); ++it)
        squares += (*it - result.mean) * (*it - result.mean);
    result.stddev = std::sqrt(squares / static_cast<double>(n));
    return result;
}

// Long noisy runs wrap the ring many times and change the window on the way; after every count
// the figures equal the direct computation over the last K counts.
TEST(RollingWindowTest, MatchesADirectComputationThroughWrapsAndWindowChanges)
{
    std::mt19937 random(14);
    std::normal_distribution<double> noise(30000.0, 4000.0);
    RollingWindow window(50, 300);
    std::vector<std::uint16_t> counts;
    const std::size_t windows[] = {50, 7, 300, 1, 120, 50};
    for (const std::size_t k : windows) {
        window.setWindow(k);
        for (int i = 0; i < 700; ++i) {
            const double value = std::clamp(noise(random), 0.0, 65535.0);
            counts.push_back(static_cast<std::uint16_t>(value));
            window.push(counts.back());
            const ChannelStatistics want = direct(counts, k);
            const ChannelStatistics got = window.statistics();
            ASSERT_EQ(got.samples, want.samples) << "window " << k << " count " << i;
            ASSERT_NEAR(got.mean, want.mean, 1e-6) << "window " << k << " count " << i;
            ASSERT_EQ(got.min, want.min) << "window " << k << " count " << i;
            ASSERT_EQ(got.max, want.max) << "window " << k << " count " << i;
            ASSERT_NEAR(got.stddev, want.stddev, 1e-6) << "window " << k << " count " << i;
        }
    }
}

TEST(RollingWindowTest, WindowIsLimitedToTheHistoryAndToAtLeastOne)
{
    RollingWindow window(50, 300);
    window.setWindow(1000);
    EXPECT_EQ(window.window(), 300U);
    window.setWindow(0);
    EXPECT_EQ(window.window(), 1U);
    EXPECT_EQ(RollingWindow(100000).window(), RollingWindow::kMaxWindow);
}

TEST(RollingWindowTest, ClearForgetsEveryCount)
{
    RollingWindow window(5, 20);
    for (const std::uint16_t count : ramp(100, 30))
        window.push(count);
    window.clear();
    EXPECT_EQ(window.statistics().samples, 0U);
    EXPECT_EQ(window.last(), 0);
    std::vector<std::uint16_t> out(10);
    EXPECT_EQ(window.recent(out), 0U);
    window.push(9);
    EXPECT_EQ(window.statistics().mean, 9.0);
    EXPECT_EQ(window.statistics().samples, 1U);
}

// The trend reads the latest counts oldest first, also after the ring has wrapped.
TEST(RollingWindowTest, RecentCountsOldestFirstAfterWrapping)
{
    RollingWindow window(3, 8);
    for (const std::uint16_t count : ramp(1, 13))
        window.push(count);
    std::vector<std::uint16_t> all(20);
    all.resize(window.recent(all));
    EXPECT_EQ(all, (std::vector<std::uint16_t>{6, 7, 8, 9, 10, 11, 12, 13}));
    std::vector<std::uint16_t> few(3);
    EXPECT_EQ(window.recent(few), 3U);
    EXPECT_EQ(few, (std::vector<std::uint16_t>{11, 12, 13}));
}

} // namespace
