// Menu and context-menu commands that act on the head.
#include "StationRig.h"
#include "device/StorageMap.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace std::chrono_literals;
using station::BoardCommands;
using station::MeasureItem;

struct GateCase {
    MeasureItem::Field field;
    std::uint16_t version;
    const char* shownVersion; // null: allowed
    const char* needed;
};

class FirmwareGate : public ::testing::TestWithParam<GateCase> {};

std::string gateCaseName(const ::testing::TestParamInfo<GateCase>& c)
{
    static const char* const kFields[] = {"Gain", "Current", "Discharge", "Delay"};
    char version[8];
    std::snprintf(version, sizeof version, "%04X", c.param.version);
    return std::string(kFields[c.param.field]) + "Firmware" + version;
}

TEST_P(FirmwareGate, OldBoardFirmwareRefusesTheCommand)
{
    const GateCase& c = GetParam();
    const auto refusal = BoardCommands::firmwareRefusal(c.field, c.version);
    if (c.shownVersion == nullptr) {
        EXPECT_FALSE(refusal.has_value());
        return;
    }
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(refusal->find(std::string("当前固件版本为") + c.shownVersion), std::string::npos) << *refusal;
    EXPECT_NE(refusal->find(std::string("需要支持本命令固件版本为") + c.needed), std::string::npos)
        << *refusal;
}

INSTANTIATE_TEST_SUITE_P(Station, FirmwareGate,
                         ::testing::Values(GateCase{MeasureItem::Gain, 0x0107, "Ver1.07", "Ver1.08"},
                                           GateCase{MeasureItem::Gain, 0x0108, nullptr, nullptr},
                                           GateCase{MeasureItem::Current, 0x0000, "Ver0.00", "Ver1.08"},
                                           GateCase{MeasureItem::Discharge, 0x010F, "Ver1.0F", "Ver1.10"},
                                           GateCase{MeasureItem::Discharge, 0x0110, nullptr, nullptr},
                                           GateCase{MeasureItem::Delay, 0x0108, "Ver1.08", "Ver1.10"},
                                           GateCase{MeasureItem::Delay, 0x0110, nullptr, nullptr}),
                         gateCaseName);

TEST(BoardCommandsTest, MeasureItemsMapTheirIds)
{
    EXPECT_EQ(station::measureItem(32815)->value, 1);
    EXPECT_EQ(station::measureItem(32821)->value, 7);
    EXPECT_EQ(station::measureItem(32823)->value, 0);
    EXPECT_EQ(station::measureItem(32844)->field, MeasureItem::Delay);
    EXPECT_EQ(station::measureItem(32844)->value, 3);
    EXPECT_FALSE(station::measureItem(32822).has_value());
    EXPECT_FALSE(station::measureItem(32845).has_value());
}

TEST(BoardCommandsTest, AMeasurementCommandWritesTheBoardRecord)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    ASSERT_FALSE(rig.commands.setMeasure(1, {MeasureItem::Gain, 5}).has_value());
    ASSERT_FALSE(rig.commands.setMeasure(1, {MeasureItem::Current, 6}).has_value());
    EXPECT_EQ(rig.head->memory(storage::boardRecordAddress(1) + 22, 2), (std::vector<std::uint8_t>{5, 6}));
    EXPECT_EQ(rig.setup.measure(1).userGain, 5);
    EXPECT_EQ(rig.setup.measure(1).current, 6);

    // The demo boards run 1.08: discharge time is refused and nothing is written.
    const auto before = rig.head->memory(storage::boardRecordAddress(1), 26);
    ASSERT_TRUE(rig.commands.setMeasure(1, {MeasureItem::Discharge, 3}).has_value());
    EXPECT_EQ(rig.head->memory(storage::boardRecordAddress(1), 26), before);
}

TEST(BoardCommandsTest, OneKeySettingTakesTheCountsAsReferences)
{
    StationRig rig(true, 2, 2, 64);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.stopLoop());

    BoardRecord record = rig.setup.workRecord();
    record.setFlag(BoardRecord::PercentMode, true);
    record.percentage = 10;
    rig.setup.setWorkRecord(record);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            for (int i = 0; i < 64; ++i)
                rig.grid.panel(row, col).raw[static_cast<std::size_t>(i)] =
                    static_cast<std::uint16_t>(1005 + i);

    ASSERT_TRUE(rig.commands.oneKeySetting());

    const auto words = [&](std::uint16_t address) {
        const auto bytes = rig.head->memory(address, 128);
        std::vector<int> values;
        for (std::size_t i = 0; i < 64; ++i)
            values.push_back(bytes[2 * i] | bytes[2 * i + 1] << 8);
        return values;
    };
    for (int k = 0; k < 4; ++k) {
        const auto reference = words(storage::referenceAddress(k));
        const auto high = words(storage::thresholdHighAddress(k));
        const auto low = words(storage::thresholdLowAddress(k));
        EXPECT_EQ(reference[0], 1005);
        EXPECT_EQ(high[0], 1105);
        EXPECT_EQ(low[0], 905);
        for (int i = 0; i < 64; ++i) { // every channel from its own count
            const int count = 1005 + i;
            ASSERT_EQ(high[static_cast<std::size_t>(i)], count + count / 10) << i;
            ASSERT_EQ(low[static_cast<std::size_t>(i)], count - count / 10) << i;
        }
    }
    EXPECT_EQ(rig.grid.panel(1, 1).thresholdHigh[0].load(), 1105);
    EXPECT_EQ(rig.grid.panel(1, 1).reference[0].load(), 1005);
}

// Parameters of the working record that would put a threshold outside 0..65535 for some board:
// the one-key setting writes nothing and says which board and channel.
struct OneKeyRefusalCase {
    const char* name;
    bool percentMode;
    std::uint16_t percentage;
    std::uint16_t allowedHigh;
    std::uint16_t allowedLow;
    const char* named;
};

class OneKeyRefusal : public ::testing::TestWithParam<OneKeyRefusalCase> {};

TEST_P(OneKeyRefusal, WritesNothingAndNamesTheBoardAndChannel)
{
    const OneKeyRefusalCase& c = GetParam();
    StationRig rig(true, 2, 2, 8);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.stopLoop());
    BoardRecord record = rig.setup.workRecord();
    record.setFlag(BoardRecord::PercentMode, c.percentMode);
    record.percentage = c.percentage;
    record.allowedHigh = c.allowedHigh;
    record.allowedLow = c.allowedLow;
    rig.setup.setWorkRecord(record);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            for (int i = 0; i < 8; ++i)
                rig.grid.panel(row, col).raw[static_cast<std::size_t>(i)] = 1000;
    rig.grid.panel(1, 0).raw[3] = 40000; // the one board and channel whose thresholds cannot be stored
    const std::vector<std::uint8_t> before = rig.head->memory(0, 256 + 4 * storage::kBoardRegionSize);

    EXPECT_FALSE(rig.commands.oneKeySetting());
    EXPECT_EQ(rig.head->memory(0, 256 + 4 * storage::kBoardRegionSize), before);
    ASSERT_EQ(rig.view.messageTexts().size(), 1U);
    EXPECT_NE(rig.view.messageTexts().front().find(c.named), std::string::npos)
        << rig.view.messageTexts().front();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OneKeyRefusal,
    ::testing::Values(
        OneKeyRefusalCase{"PercentageAbove100", true, 150, 0, 0, "0行0列：通道0的下限阀值将为-500"},
        OneKeyRefusalCase{"HighAbove65535", true, 70, 0, 0, "1行0列：通道3的上限阀值将为68000"},
        OneKeyRefusalCase{"AllowanceBelowZero", false, 0, 10, 1001, "0行0列：通道0的下限阀值将为-1"},
        OneKeyRefusalCase{"AllowanceAbove65535", false, 0, 30000, 10, "1行0列：通道3的上限阀值将为70000"}),
    [](const ::testing::TestParamInfo<OneKeyRefusalCase>& c) { return std::string(c.param.name); });

TEST(BoardCommandsTest, OneKeySettingReportsWhenDone)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.commands.startOneKeySetting();
    ASSERT_TRUE(rig.pump([&] { return !rig.view.messageTexts().empty(); }));
    EXPECT_EQ(rig.view.messageTexts().front(), texts::text(texts::TextId::OneKeyDone, false));
}

TEST(MenuCommandsTest, OutputBitIsPatchedThenTheBlockWrittenKeepingItsTail)
{
    StationRig rig;
    Payload block = rig.head->block(storage::SETTINGS_BLOCK);
    for (std::size_t i = 56; i < 64; ++i)
        block[i] = static_cast<std::uint8_t>(0xA0 + i);
    block[0] = static_cast<std::uint8_t>(block[0] & ~0x04);
    rig.head->setBlock(storage::SETTINGS_BLOCK, block);
    ASSERT_TRUE(rig.startRunning());

    rig.head->clearReceived();
    rig.menu.toggleOutputBit(GlobalSettings::LedEnable);
    rig.menu.toggleOutputBit(GlobalSettings::LedEnable);

    std::vector<Report> mine;
    const auto received = rig.head->received();
    for (std::size_t i = 0; i < received.size(); ++i) {
        const Report& r = received[i].report;
        if (r[1] == 0xAA && r[2] == 0x55 && r[3] == 0x40)
            mine.push_back(r);
        if (r[1] == 0xAA && r[2] == 0x55 && r[3] == 0x20 && i + 2 < received.size())
            mine.push_back(received[i + 2].report); // the data report of WriteBlock
    }
    ASSERT_EQ(mine.size(), 4U);
    EXPECT_EQ(mine[0][4], storage::SETTINGS_BLOCK);
    EXPECT_EQ(mine[0][6], 0x04); // value
    EXPECT_EQ(mine[0][7], 0x04); // mask
    EXPECT_EQ(mine[1][1] & 0x04, 0x04);
    for (std::size_t i = 56; i < 64; ++i)
        EXPECT_EQ(mine[1][1 + i], 0xA0 + i);
    EXPECT_EQ(mine[2][6], 0x00);
    EXPECT_EQ(mine[2][7], 0x04);
    EXPECT_EQ(mine[3][1] & 0x04, 0);
}

TEST(MenuCommandsTest, LanguageSwitchRebuildsTheMenuAndReloads)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.menu.switchLanguage(true);
    EXPECT_TRUE(rig.setup.global().englishUi());
    EXPECT_EQ(rig.head->block(storage::SETTINGS_BLOCK)[0] & 0x40, 0x40);
    EXPECT_EQ(rig.view.menuBars().back(), true);
    EXPECT_EQ(rig.view.caption(), texts::text(texts::TextId::ConnectedCaption, true));
    EXPECT_EQ(rig.view.pane(0).label, "Connected");

    rig.menu.switchLanguage(true); // again: still written and rebuilt
    EXPECT_EQ(rig.view.menuBars().size(), 3U);
    rig.menu.switchLanguage(false);
    EXPECT_EQ(rig.view.caption(), texts::text(texts::TextId::ConnectedCaption, false));
}
