#include "dialogs/setting/Thresholds.h"

#include "dialogs/setting/PercentInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using setting::ThresholdPair;

struct PercentCase {
    std::uint16_t reference;
    std::uint16_t percentage;
    ThresholdPair expected;
};

class ThresholdsByPercentage : public ::testing::TestWithParam<PercentCase> {};

TEST_P(ThresholdsByPercentage, TruncateTowardZeroAndKeep16Bits)
{
    const PercentCase& c = GetParam();
    EXPECT_EQ(setting::thresholdsByPercentage(c.reference, c.percentage), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ThresholdsByPercentage,
                         ::testing::Values(PercentCase{1000, 10, {900, 1100}},
                                           PercentCase{1003, 10, {902, 1103}},    // 902.7 and 1103.3
                                           PercentCase{100, 150, {65486, 250}},   // -50 wraps
                                           PercentCase{65000, 10, {58500, 5964}}, // 71500 wraps
                                           PercentCase{0, 50, {0, 0}}));

struct AllowanceCase {
    std::uint16_t reference;
    std::uint16_t high;
    std::uint16_t low;
    ThresholdPair expected;
};

class ThresholdsByAllowance : public ::testing::TestWithParam<AllowanceCase> {};

TEST_P(ThresholdsByAllowance, WrapModulo65536)
{
    const AllowanceCase& c = GetParam();
    EXPECT_EQ(setting::thresholdsByAllowance(c.reference, c.high, c.low), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ThresholdsByAllowance,
                         ::testing::Values(AllowanceCase{10, 5, 20, {65526, 15}},
                                           AllowanceCase{1000, 100, 50, {950, 1100}},
                                           AllowanceCase{65530, 10, 0, {65530, 4}}));

TEST(TruncatedMean, IntegerDivisionOverTheValues)
{
    EXPECT_EQ(setting::truncatedMean(std::vector<std::int32_t>{100, 103}), 101);
    EXPECT_EQ(setting::truncatedMean(std::vector<std::int32_t>{-3, 0}), -1); // toward zero, not down
    EXPECT_EQ(setting::truncatedMean(std::vector<std::int32_t>{65535, 65535, 65535}), 65535);
    EXPECT_EQ(setting::truncatedMean(std::vector<std::int32_t>{}), std::nullopt);
}

struct PercentTextCase {
    std::string text;
    std::optional<double> value;
};

class PercentText : public ::testing::TestWithParam<PercentTextCase> {};

TEST_P(PercentText, WholeTextMustBeOneFiniteNumber)
{
    EXPECT_EQ(setting::parsePercent(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentText,
    ::testing::Values(PercentTextCase{"85", 85.0}, PercentTextCase{" 85.5 ", 85.5},
                      PercentTextCase{"+90", 90.0}, PercentTextCase{"-1e1", -10.0}, PercentTextCase{"0", 0.0},
                      PercentTextCase{"", std::nullopt}, PercentTextCase{"  ", std::nullopt},
                      PercentTextCase{"85%", std::nullopt}, PercentTextCase{"abc", std::nullopt},
                      PercentTextCase{"+-5", std::nullopt}, PercentTextCase{"nan", std::nullopt},
                      PercentTextCase{"inf", std::nullopt}));

} // namespace
