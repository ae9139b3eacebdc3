// Reading and writing the values of the configuration file.
#include "ConfigValues.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

using namespace configvalue;

struct IntegerCase {
    std::string text;
    std::int64_t value;
    std::uint8_t u8;
    std::uint16_t u16;
};

class IntegerParsing : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerParsing, ReadsLikeAtoiAndCutsToTheFieldWidth)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(parseInteger(c.text).value, c.value) << c.text;
    EXPECT_EQ(toU8(c.text), c.u8) << c.text;
    EXPECT_EQ(toU16(c.text), c.u16) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerParsing,
    testing::Values(IntegerCase{"", 0, 0, 0}, IntegerCase{"abc", 0, 0, 0}, IntegerCase{"12abc", 12, 12, 12},
                    IntegerCase{"  7", 7, 7, 7}, IntegerCase{"+5", 5, 5, 5},
                    IntegerCase{"-1", -1, 255, 65535}, IntegerCase{"300", 300, 44, 300},
                    IntegerCase{"65537", 65537, 1, 1}, IntegerCase{"1.9", 1, 1, 1},
                    IntegerCase{"- 3", 0, 0, 0},
                    // far beyond 64 bits: saturated for range checks, low bits still exact
                    IntegerCase{"100000000000000000000", INT64_MAX, 0x00, 0x0000},
                    IntegerCase{"-99999999999999999999999", INT64_MIN, 0x01, 0x0001}),
    [](const testing::TestParamInfo<IntegerCase>& c) { return caseNameFromText(c.param.text); });

TEST(IntegerParsing, LowBitsOfHugeNumbersAreExact)
{
    // 2^64 + 260 = 18446744073709551876: the low 16 bits are 260
    EXPECT_EQ(toU16("18446744073709551876"), 260);
    EXPECT_EQ(parseInteger("18446744073709551876").value, INT64_MAX);
    EXPECT_TRUE(toFlag("3"));
    EXPECT_FALSE(toFlag("2"));
}

struct ListCase {
    std::string text;
    std::vector<std::uint64_t> values;
};

class ListParsing : public testing::TestWithParam<ListCase> {};

TEST_P(ListParsing, SplitsAtEveryComma)
{
    const auto parsed = parseList(GetParam().text);
    std::vector<std::uint64_t> bits;
    bits.reserve(parsed.size());
    for (const auto& v : parsed)
        bits.push_back(v.bits);
    EXPECT_EQ(bits, GetParam().values) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ListParsing,
                         testing::Values(ListCase{"", {}},
                                         ListCase{"5", {5}} /* one number without a comma is one value */,
                                         ListCase{" 42 ", {42}}, ListCase{"abc", {}}, ListCase{"1,2", {1, 2}},
                                         ListCase{"1,,2", {1, 0, 2}}, ListCase{"1,", {1, 0}},
                                         ListCase{",", {0, 0}}, ListCase{"7,x,9", {7, 0, 9}}),
                         [](const testing::TestParamInfo<ListCase>& c) {
                             return caseNameFromText(c.param.text);
                         });

TEST(ListParsing, LongListsAreReadWhole)
{
    std::string text;
    for (int i = 0; i < 64; ++i)
        text += (i ? "," : "") + std::to_string(60000 + i);
    ASSERT_GT(text.size(), 380u);
    const auto values = parseList(text);
    ASSERT_EQ(values.size(), 64u);
    EXPECT_EQ(values[63].bits, 60063u);
}

struct ColorCase {
    std::string text;
    std::optional<Rgbx> color;
};

class ColorParsing : public testing::TestWithParam<ColorCase> {};

TEST_P(ColorParsing, TakenOnlyWithThreeValues)
{
    EXPECT_EQ(parseColor(GetParam().text), GetParam().color) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ColorParsing,
                         testing::Values(ColorCase{"010,020,030", Rgbx{10, 20, 30, 0}},
                                         ColorCase{"255,0,0,7", std::nullopt},
                                         ColorCase{"300,0,0", Rgbx{44, 0, 0, 0}},
                                         ColorCase{"1,2", std::nullopt}, ColorCase{"", std::nullopt}),
                         [](const testing::TestParamInfo<ColorCase>& c) {
                             return caseNameFromText(c.param.text);
                         });

TEST(AddressList, TakenOnlyWithEightValues)
{
    EXPECT_EQ(parseAddressList("1,2,3,4,5,6,7,264"), (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(parseAddressList("1,2,3,4,5,6,7"), std::nullopt);
    EXPECT_EQ(parseAddressList("1,2,3,4,5,6,7,8,9"), std::nullopt);
    EXPECT_EQ(formatAddressList(std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 255}), "1,2,3,4,5,6,7,255");
}

struct RealCase {
    double value;
    std::string text;
};

class RealFormatting : public testing::TestWithParam<RealCase> {};

TEST_P(RealFormatting, PercentGInTheCLocale)
{
    EXPECT_EQ(formatReal(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, RealFormatting,
                         testing::Values(RealCase{0.123456789, "0.123457"}, RealCase{0.95, "0.95"},
                                         RealCase{0.0, "0"}, RealCase{1.0, "1"}, RealCase{0.00001, "1e-05"},
                                         RealCase{1234567.0, "1.23457e+06"},
                                         RealCase{std::numeric_limits<double>::infinity(), "0"},
                                         RealCase{std::numeric_limits<double>::quiet_NaN(), "0"}),
                         [](const testing::TestParamInfo<RealCase>& c) -> std::string {
                             if (std::isnan(c.param.value))
                                 return "NaN";
                             if (std::isinf(c.param.value))
                                 return "Infinity";
                             return caseNameFromText(c.param.text);
                         });

TEST(RealParsing, DecimalNumbersAndJunk)
{
    EXPECT_DOUBLE_EQ(parseReal("0.123457"), 0.123457);
    EXPECT_DOUBLE_EQ(parseReal(" +0.5x"), 0.5);
    EXPECT_EQ(parseReal(""), 0.0);
    EXPECT_EQ(parseReal("abc"), 0.0);
    EXPECT_EQ(parseReal("inf"), 0.0);
    EXPECT_EQ(parseReal("nan"), 0.0);
    EXPECT_EQ(parseReal("1e999"), 0.0);
}

// A desktop with a decimal comma must still write and read "0.95".
TEST(RealParsing, IndependentOfTheUsersLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "de_DE") == nullptr)
        GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(formatReal(0.95), "0.95");
    EXPECT_DOUBLE_EQ(parseReal("0.95"), 0.95);
    EXPECT_EQ(formatColor(Rgbx{1, 22, 255, 0}), "001,022,255");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ListFormatting, NoCommaAfterTheLastAndEmptyForNoChannels)
{
    const std::vector<std::uint16_t> values = {0, 65535, 1234};
    EXPECT_EQ(formatList(values), "0,65535,1234");
    EXPECT_EQ(formatList(std::span<const std::uint16_t>(values).first(1)), "0");
    EXPECT_EQ(formatList({}), "");
}

} // namespace
