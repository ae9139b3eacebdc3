#include "dialogs/setting/ChannelOrderText.h"

#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using setting::formatOrderText;
using setting::orderEntries;
using setting::parseOrderText;

TEST(OrderTextFormat, TwoDigitsJoinedByCommas)
{
    EXPECT_EQ(formatOrderText(identityOrder(), 4), "00,01,02,03");
    ChannelBytes order = identityOrder();
    order[0] = 3;
    order[1] = 120; // three digits when above 99
    EXPECT_EQ(formatOrderText(order, 2), "03,120");
    EXPECT_EQ(formatOrderText(order, 0), "");
    EXPECT_EQ(formatOrderText(identityOrder(), 70).size(), 64U * 3U - 1U); // never past 64 channels
}

struct EntriesCase {
    std::string text;
    std::vector<std::uint8_t> entries;
};

class OrderTextEntries : public ::testing::TestWithParam<EntriesCase> {};

TEST_P(OrderTextEntries, ReadInThreeCharacterFields)
{
    EXPECT_EQ(orderEntries(GetParam().text), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrderTextEntries,
    ::testing::Values(EntriesCase{"00,01,02,03", {0, 1, 2, 3}}, EntriesCase{"03,02,01,00", {3, 2, 1, 0}},
                      // "1 2,3" after the first comma: fields "1 2" and ",3"
                      EntriesCase{"1,2,3", {1}},
                      // a last field of one character is dropped
                      EntriesCase{"00,01,02,3", {0, 1, 2}},
                      // a last field of two characters is kept
                      EntriesCase{"00,01,02,03", {0, 1, 2, 3}},
                      // a field of blanks gives 0, a field without a number gives nothing
                      EntriesCase{"05,   xx,07,", {5, 0, 7}},
                      // negative numbers arrive as large bytes, signs are read
                      EntriesCase{"-1,+2", {255, 2}}, EntriesCase{"", {}}, EntriesCase{"7", {}},
                      // no comma at all: taken as it is
                      EntriesCase{"010203", {10, 203}}),
    // the table holds one text twice, so the index keeps the names apart
    [](const ::testing::TestParamInfo<EntriesCase>& c) {
        return caseNameFromText(c.param.text) + "_" + std::to_string(c.index);
    });

TEST(OrderTextEntries, OnlyTheFirst254BytesAreRead)
{
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "01,";
    // 254 bytes give 84 whole fields and a last field of two characters
    EXPECT_EQ(orderEntries(text).size(), 85U);
}

struct ParseCase {
    std::string text;
    int n;
    int badEntries;
    bool tooFew;
    std::vector<std::uint8_t> firstEntries;
};

class OrderTextParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(OrderTextParse, ChecksEveryEntryAgainstTheChannelCount)
{
    const ParseCase& c = GetParam();
    const setting::ParsedOrder parsed = parseOrderText(c.text, c.n);
    EXPECT_EQ(parsed.badEntries, c.badEntries);
    EXPECT_EQ(parsed.tooFewEntries, c.tooFew);
    EXPECT_EQ(parsed.valid(), c.badEntries == 0 && !c.tooFew);
    if (parsed.valid()) {
        for (std::size_t i = 0; i < c.firstEntries.size(); ++i)
            EXPECT_EQ(parsed.order[i], c.firstEntries[i]) << i;
        for (std::size_t i = c.firstEntries.size(); i < parsed.order.size(); ++i)
            EXPECT_EQ(parsed.order[i], 0) << "entries past the board are zero";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrderTextParse,
    ::testing::Values(ParseCase{"00,01,02,03", 4, 0, false, {0, 1, 2, 3}},
                      ParseCase{"03,02,01,00", 4, 0, false, {3, 2, 1, 0}},
                      ParseCase{"00,01,02,04", 4, 1, false, {}}, ParseCase{"05,01,09,00", 4, 2, false, {}},
                      ParseCase{"-1,01,02,00", 4, 1, false, {}}, ParseCase{"1,2,3", 4, 0, true, {}},
                      ParseCase{"00,01,02,3", 4, 0, true, {}},
                      // entries past n are not looked at
                      ParseCase{"01,00,63", 2, 0, false, {1, 0}}, ParseCase{"", 0, 0, false, {}}),
    [](const ::testing::TestParamInfo<ParseCase>& c) {
        return caseNameFromText(c.param.text) + "_" + std::to_string(c.param.n) + "Channels";
    });

} // namespace
