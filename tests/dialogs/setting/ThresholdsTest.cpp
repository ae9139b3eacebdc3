#include "dialogs/setting/Thresholds.h"

#include "dialogs/setting/PercentInput.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using setting::ThresholdPair;

using Fault = thresholdrule::Fault;

struct PercentCase {
    const char* name;
    std::uint16_t reference;
    std::uint16_t percentage;
    ThresholdPair expected;
    Fault fault;
};

class ThresholdsByPercentage : public ::testing::TestWithParam<PercentCase> {};

// The exact thresholds, truncated toward zero; a pair outside 0..65535 is a refusal, never a
// wrapped value (100 less 150 % used to be stored as 65486, a channel that always fails).
TEST_P(ThresholdsByPercentage, AreExactAndRefusedOutside16Bits)
{
    const PercentCase& c = GetParam();
    EXPECT_EQ(setting::thresholdsByPercentage(c.reference, c.percentage), c.expected);
    EXPECT_EQ(thresholdrule::faultOf(c.expected), c.fault);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThresholdsByPercentage,
    ::testing::Values(PercentCase{"TenPercentOf1000", 1000, 10, {900, 1100}, Fault::None},
                      PercentCase{"TruncatedTowardZero", 1003, 10, {902, 1103}, Fault::None}, // 902.7, 1103.3
                      PercentCase{"LowBelowZeroIsRefused", 100, 150, {-50, 250}, Fault::LowBelowZero},
                      PercentCase{"HighAbove65535IsRefused", 65000, 10, {58500, 71500}, Fault::HighAboveMax},
                      PercentCase{"ZeroReference", 0, 50, {0, 0}, Fault::None}),
    [](const ::testing::TestParamInfo<PercentCase>& c) { return std::string(c.param.name); });

struct AllowanceCase {
    const char* name;
    std::uint16_t reference;
    std::uint16_t high;
    std::uint16_t low;
    ThresholdPair expected;
    Fault fault;
};

class ThresholdsByAllowance : public ::testing::TestWithParam<AllowanceCase> {};

TEST_P(ThresholdsByAllowance, AreExactAndRefusedOutside16Bits)
{
    const AllowanceCase& c = GetParam();
    EXPECT_EQ(setting::thresholdsByAllowance(c.reference, c.high, c.low), c.expected);
    EXPECT_EQ(thresholdrule::faultOf(c.expected), c.fault);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThresholdsByAllowance,
    ::testing::Values(AllowanceCase{"LowBelowZeroIsRefused", 10, 5, 20, {-10, 15}, Fault::LowBelowZero},
                      AllowanceCase{"Plain", 1000, 100, 50, {950, 1100}, Fault::None},
                      AllowanceCase{
                          "HighAbove65535IsRefused", 65530, 10, 0, {65530, 65540}, Fault::HighAboveMax},
                      AllowanceCase{"EdgesFit", 10, 65525, 10, {0, 65535}, Fault::None}),
    [](const ::testing::TestParamInfo<AllowanceCase>& c) { return std::string(c.param.name); });

TEST(ThresholdFault, LowAboveHighIsRefused)
{
    EXPECT_EQ(thresholdrule::faultOf({200, 100}), Fault::LowAboveHigh);
    EXPECT_EQ(thresholdrule::faultOf({100, 100}), Fault::None);
}

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
                      PercentTextCase{"inf", std::nullopt}),
    [](const ::testing::TestParamInfo<PercentTextCase>& c) { return caseNameFromText(c.param.text); });

} // namespace
