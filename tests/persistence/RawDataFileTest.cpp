// The raw-data capture files of the baseline dialog.
#include "RawDataFile.h"

#include "TempDir.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

namespace {

class RawDataFileTest : public TempDirTest {};

rawdata::SampleRow row(int label, bool ticked, int firstValue)
{
    rawdata::SampleRow r;
    r.label = label;
    r.ticked = ticked;
    for (int i = 0; i < rawdata::kChannelFields; ++i)
        r.values[static_cast<std::size_t>(i)] = firstValue + i;
    return r;
}

rawdata::SampleRow partial(int label, bool ticked, std::vector<int> values)
{
    rawdata::SampleRow r;
    r.label = label;
    r.ticked = ticked;
    std::copy(values.begin(), values.end(), r.values.begin());
    return r;
}

TEST_F(RawDataFileTest, SavedRowsCarryTheirIndexAndLoadInReverseOrder)
{
    // labels 7, 8, 9 were the capture labels; the file keeps the row indices 0, 1, 2
    const std::vector<rawdata::SampleRow> rows = {row(7, true, 100), row(8, false, 200), row(9, true, 300)};
    const auto path = rawdata::filePath(1, 2);
    EXPECT_EQ(path, std::filesystem::path("rawdata") / "rawdata_1_2.csv");
    ASSERT_TRUE(rawdata::save(path, rows));

    const std::string text = readAll(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << "CR LF between lines, none after the last";
    EXPECT_EQ(text.substr(0, 10), "0,1,100,10");
    EXPECT_NE(text.find("\r\n1,0,200,"), std::string::npos);
    EXPECT_NE(text.find("\r\n2,1,300,"), std::string::npos);
    EXPECT_EQ(text.back(), '1'); // ...,331 without a line end

    const auto loaded = rawdata::load(path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->size(), 3u);
    EXPECT_EQ((*loaded)[0], row(2, true, 300)) << "the last line is inserted last, at the top";
    EXPECT_EQ((*loaded)[1], row(1, false, 200));
    EXPECT_EQ((*loaded)[2], row(0, true, 100));
}

TEST_F(RawDataFileTest, FourChannelBoardStillWritesThirtyTwoFields)
{
    const rawdata::SampleRow r = partial(5, false, {11, 22, 33, 44});
    std::string expected = "0,0,11,22,33,44";
    for (int i = 4; i < rawdata::kChannelFields; ++i)
        expected += ",0";
    EXPECT_EQ(rawdata::format({r}), expected);
}

struct ParseCase {
    std::string text;
    std::vector<rawdata::SampleRow> rows;
};

class RawDataParsing : public testing::TestWithParam<ParseCase> {};

TEST_P(RawDataParsing, LinesToRows)
{
    EXPECT_EQ(rawdata::parse(GetParam().text), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RawDataParsing,
    testing::Values(ParseCase{"", {}},                                            // empty file: no row
                    ParseCase{"3,1,5,6", {partial(3, true, {5, 6})}},             // short line: rest 0
                    ParseCase{"3,2,70000", {partial(3, true, {70000 & 0xFFFF})}}, // 16 bits kept
                    ParseCase{"1,0\n\n2,0\n", {partial(2, false, {}), partial(1, false, {})}},
                    ParseCase{"x,y,-1", {partial(0, false, {65535})}}),
    [](const testing::TestParamInfo<ParseCase>& c) { return caseNameFromText(c.param.text); });

// Every channel of the board is written and read back: a 64-channel board's samples keep
// channels 32..63 (they came back as 0 and Baseline then stored references of 0). Boards of up
// to 32 channels keep the 34-field lines older stations read.
struct ChannelCase {
    int channels;
    std::size_t fieldsPerLine;
};

class RawDataChannels : public RawDataFileTest, public testing::WithParamInterface<ChannelCase> {};

TEST_P(RawDataChannels, EveryChannelRoundTrips)
{
    const int n = GetParam().channels;
    rawdata::SampleRow r;
    r.ticked = true;
    for (int i = 0; i < n; ++i)
        r.values[static_cast<std::size_t>(i)] = 1000 + i;
    const auto path = rawdata::filePath(3, 1);
    ASSERT_TRUE(rawdata::save(path, {r, r}, n));

    const std::string text = readAll(path);
    const std::string firstLine = text.substr(0, text.find("\r\n"));
    EXPECT_EQ(static_cast<std::size_t>(std::count(firstLine.begin(), firstLine.end(), ',')) + 1,
              GetParam().fieldsPerLine);

    const auto loaded = rawdata::load(path);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->size(), 2u);
    rawdata::SampleRow expected = r;
    expected.label = 1;
    EXPECT_EQ((*loaded)[0], expected);
}

INSTANTIATE_TEST_SUITE_P(Boards, RawDataChannels,
                         testing::Values(ChannelCase{64, 66}, ChannelCase{40, 42}, ChannelCase{33, 35},
                                         ChannelCase{32, 34}, ChannelCase{4, 34}),
                         [](const testing::TestParamInfo<ChannelCase>& param) {
                             return std::to_string(param.param.channels) + "Channels";
                         });

TEST_F(RawDataFileTest, ALineIsReadUpToSixtyFourValues)
{
    std::string line = "0,1";
    for (int i = 0; i < 70; ++i)
        line += "," + std::to_string(i + 1);
    const auto rows = rawdata::parse(line);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].values[63], 64) << "channel 63";
}

TEST_F(RawDataFileTest, MissingFileIsReportedBeforeAnythingIsCleared)
{
    EXPECT_EQ(rawdata::load(rawdata::filePath(0, 0)), std::nullopt);
}

TEST_F(RawDataFileTest, CellTextsReadAsIntegers)
{
    EXPECT_EQ(rawdata::cellValue(""), 0);
    EXPECT_EQ(rawdata::cellValue("1234"), 1234);
    EXPECT_EQ(rawdata::cellValue("12ab"), 12);
}

} // namespace
