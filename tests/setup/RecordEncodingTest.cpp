// Byte encodings of the setup records: every field at its offset, reserved bytes and bits kept.
#include "BoardMeasureSettings.h"
#include "BoardRecord.h"
#include "BoardTable.h"
#include "Channels.h"
#include "DeviceType.h"
#include "GlobalSettings.h"
#include "support/CaseName.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

template <std::size_t N> std::array<std::uint8_t, N> randomBytes(unsigned seed)
{
    std::mt19937 rng(seed);
    std::array<std::uint8_t, N> bytes{};
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

TEST(RecordEncoding, DecodeThenEncodeGivesBackEveryByte)
{
    for (unsigned seed = 1; seed <= 50; ++seed) {
        const auto g = randomBytes<GlobalSettings::kSize>(seed);
        EXPECT_EQ(GlobalSettings::decode(g).encode(), g) << "seed " << seed;
        const auto r = randomBytes<BoardRecord::kSize>(seed);
        EXPECT_EQ(BoardRecord::decode(r).encode(), r) << "seed " << seed;
        const auto t = randomBytes<BoardTable::kSize>(seed);
        EXPECT_EQ(BoardTable::decode(t).encode(), t) << "seed " << seed;
    }
}

struct FieldCase {
    const char* name;
    std::function<void(GlobalSettings&)> set;
    int offset;
    std::vector<std::uint8_t> bytes;
};

class GlobalSettingsField : public testing::TestWithParam<FieldCase> {};

TEST_P(GlobalSettingsField, LandsAtItsOffsetLittleEndian)
{
    const FieldCase& c = GetParam();
    GlobalSettings g = GlobalSettings::decode(GlobalSettings::Bytes{});
    c.set(g);
    GlobalSettings::Bytes expected{};
    std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + c.offset);
    EXPECT_EQ(g.encode(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, GlobalSettingsField,
    testing::Values(
        FieldCase{"buzzerEnable",
                  [](GlobalSettings& g) { g.setOutput(GlobalSettings::BuzzerEnable, true); },
                  0,
                  {0x01}},
        FieldCase{
            "englishUi", [](GlobalSettings& g) { g.setOutput(GlobalSettings::EnglishUi, true); }, 0, {0x40}},
        FieldCase{"lockSave", [](GlobalSettings& g) { g.lockFlags = GlobalSettings::LockSave; }, 1, {0x08}},
        FieldCase{"viewRangeMax", [](GlobalSettings& g) { g.viewRangeMax = 0x1234; }, 4, {0x34, 0x12}},
        FieldCase{"viewRangeMin", [](GlobalSettings& g) { g.viewRangeMin = 0xABCD; }, 6, {0xCD, 0xAB}},
        FieldCase{"judgeType", [](GlobalSettings& g) { g.judgeType = 9; }, 8, {9}},
        FieldCase{"percentage", [](GlobalSettings& g) { g.percentage = 0x0102; }, 9, {0x02, 0x01}},
        FieldCase{"allowedHigh", [](GlobalSettings& g) { g.allowedHigh = 0x0304; }, 11, {0x04, 0x03}},
        FieldCase{"allowedLow", [](GlobalSettings& g) { g.allowedLow = 0x0506; }, 13, {0x06, 0x05}},
        FieldCase{"excessIndication", [](GlobalSettings& g) { g.excessIndication = 1; }, 15, {1}},
        FieldCase{"expandBoardCount", [](GlobalSettings& g) { g.expandBoardCount = 3; }, 16, {3}},
        FieldCase{"expandBoardAddress",
                  [](GlobalSettings& g) { g.expandBoardAddress = {1, 2, 3, 4, 5, 6, 7, 8}; },
                  17,
                  {1, 2, 3, 4, 5, 6, 7, 8}},
        FieldCase{"gridCols", [](GlobalSettings& g) { g.gridCols = 4; }, 25, {4}},
        FieldCase{"gridRows", [](GlobalSettings& g) { g.gridRows = 3; }, 26, {3}},
        FieldCase{"passColor from numbers",
                  [](GlobalSettings& g) { g.colors.passColor = Rgbx::fromRgb(10, 20, 30); },
                  35,
                  {10, 20, 30, 0}},
        FieldCase{"excessColor",
                  [](GlobalSettings& g) {
                      g.colors.excessColor = {1, 2, 3, 4};
                  },
                  39,
                  {1, 2, 3, 4}},
        FieldCase{"highColor",
                  [](GlobalSettings& g) {
                      g.colors.highColor = {5, 6, 7, 8};
                  },
                  43,
                  {5, 6, 7, 8}},
        FieldCase{"lowColor",
                  [](GlobalSettings& g) {
                      g.colors.lowColor = {9, 10, 11, 12};
                  },
                  47,
                  {9, 10, 11, 12}},
        FieldCase{"maskColor",
                  [](GlobalSettings& g) {
                      g.colors.maskColor = {13, 14, 15, 16};
                  },
                  51,
                  {13, 14, 15, 16}},
        FieldCase{"colorFlags",
                  [](GlobalSettings& g) { g.colors.colorFlags = ColorScheme::CustomMaskColor; },
                  55,
                  {0x04}}),
    [](const testing::TestParamInfo<FieldCase>& param) {
        std::string name = param.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(RecordEncoding, BoardRecordFieldsAndTheBinary64AtOffset14)
{
    BoardRecord r = BoardRecord::decode(BoardRecord::Bytes{});
    r.setFlag(BoardRecord::PearsonEnable, true);
    r.viewRangeMax = 0x1122;
    r.viewRangeMin = 0x3344;
    r.percentage = 0x5566;
    r.allowedHigh = 0x7788;
    r.allowedLow = 0x99AA;
    r.pearsonThreshold = 0.5; // 0x3FE0000000000000
    r.userGain = 7;
    r.current = 6;
    r.dischargeTime = 5;
    r.delayTime = 3;
    const BoardRecord::Bytes expected = {0x02, 0, 0, 0, 0x22, 0x11, 0x44, 0x33, 0x66, 0x55, 0x88, 0x77, 0xAA,
                                         0x99, 0, 0, 0, 0,    0,    0,    0xE0, 0x3F, 7,    6,    5,    3};
    EXPECT_EQ(r.encode(), expected);
}

TEST(RecordEncoding, ChangingOneFlagKeepsReservedBits)
{
    BoardRecord::Bytes bytes{};
    bytes[0] = 0xF8 | BoardRecord::PercentMode; // reserved bits 3..7 set
    BoardRecord r = BoardRecord::decode(bytes);
    r.setFlag(BoardRecord::OrderEnable, true);
    r.setFlag(BoardRecord::PercentMode, false);
    EXPECT_EQ(r.encode()[0], 0xF8 | BoardRecord::OrderEnable);
}

TEST(RecordEncoding, BoardTableEntryPositionNibbles)
{
    BoardTable::Bytes bytes{};
    bytes[12] = 0x21; // entry 3: column 2, row 1
    bytes[13] = 100;
    const BoardTableEntry e = BoardTable::decode(bytes).entries[3];
    EXPECT_EQ(e.col(), 2);
    EXPECT_EQ(e.row(), 1);
    EXPECT_EQ(e.channels(), 64) << "a channel count above 64 is used as 64";
    EXPECT_EQ(BoardTableEntry::makePosition(1, 2), 0x21);
    EXPECT_EQ(BoardTableEntry::makePosition(0x1F, 0x13), 0x3F) << "row cut to its nibble, col to 8 bits";
}

TEST(RecordEncoding, MeasureDefaultsAndCountParameters)
{
    const BoardMeasureSettings m;
    EXPECT_EQ(m.userGain, 7);
    EXPECT_EQ(m.current, 0);
    EXPECT_EQ(m.dischargeTime, 0);
    EXPECT_EQ(m.delayTime, 0);
    EXPECT_EQ(m.firmwareVersion, 0);
    EXPECT_FALSE(m.versionKnown());
    BoardMeasureSettings s;
    s.userGain = 5;
    s.delayTime = 3;
    s.dischargeTime = 6;
    s.current = 2;
    EXPECT_EQ(s.countsParam1(), 0x35);
    EXPECT_EQ(s.countsParam2(), (6 << 3) | 2);
}

TEST(ChannelCount, UsedAsAtMost64)
{
    EXPECT_EQ(usedChannels(0), 0);
    EXPECT_EQ(usedChannels(40), 40);
    EXPECT_EQ(usedChannels(64), 64);
    EXPECT_EQ(usedChannels(100), 64);
    EXPECT_EQ(usedChannels(255), 64);
}

struct TypeCase {
    const char* text;
    bool multiBoard;
};

class DeviceTypeRule : public testing::TestWithParam<TypeCase> {};

TEST_P(DeviceTypeRule, MultiBoardOnlyForTheTwoTypesAfterUpperCasing)
{
    EXPECT_EQ(devicetype::isMultiBoard(devicetype::upper(GetParam().text)), GetParam().multiBoard);
}

INSTANTIATE_TEST_SUITE_P(Types, DeviceTypeRule,
                         testing::Values(TypeCase{"TRIVELLAV2", true}, TypeCase{"trivellav2", true},
                                         TypeCase{"TrivellaV2.1", true}, TypeCase{"TRIVELLAV2X", false},
                                         TypeCase{"TRIVELLAV2.10", false}, TypeCase{"TRIVELLA", false},
                                         TypeCase{"", false}),
                         [](const testing::TestParamInfo<TypeCase>& c) {
                             return caseNameFromText(c.param.text);
                         });

} // namespace
