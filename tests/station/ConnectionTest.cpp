// Start-up, connection, removal and close of the station against the simulated head.
#include "StationRig.h"
#include "station/StationTexts.h"
#include "support/CaseName.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

using namespace std::chrono_literals;
using station::Rgb;
namespace text = station::text;

TEST(Connection, StartWithoutHeadShowsTheDisconnectedState)
{
    StationRig rig(false);
    rig.station.initialise();

    EXPECT_EQ(rig.view.caption(), text::kNoHeadAtStart);
    EXPECT_EQ(rig.view.menusEnabled(), false);
    const FakeView::Pane pane0 = rig.view.pane(0);
    EXPECT_EQ(pane0.label, "未连接");
    EXPECT_EQ(pane0.labelColor, (Rgb{255, 255, 255}));
    EXPECT_EQ(pane0.fillColor, (Rgb{255, 0, 0}));
    EXPECT_EQ(pane0.fillMode, 1);
    EXPECT_EQ(rig.view.pane(1).fillMode, 2);
    EXPECT_EQ(rig.setup.grid().get(), (std::pair{0, 0}));
    EXPECT_FALSE(rig.station.startupRunning());
}

// A head that is plugged in but cannot be opened (no udev rule, held by another program) is not
// "no head": the window says what is wrong and what to do, in the interface language.
struct NotAccessibleCase {
    const char* name;
    int error;
    texts::TextId reason;
    bool english;
};

class HeadNotAccessible : public ::testing::TestWithParam<NotAccessibleCase> {
protected:
    StationRig rig{false};

    void SetUp() override
    {
        GlobalSettings global = rig.setup.global();
        global.setOutput(GlobalSettings::EnglishUi, GetParam().english);
        rig.setup.setGlobal(global);
    }
    std::string expectedText() const
    {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer,
                      texts::text(texts::TextId::HeadNotAccessible, GetParam().english),
                      texts::text(GetParam().reason, GetParam().english));
        return buffer;
    }
    std::size_t messagesWith(const std::string& text) const
    {
        std::size_t count = 0;
        for (const auto& message : rig.view.messages())
            count += message.text == text ? 1 : 0;
        return count;
    }
};

TEST_P(HeadNotAccessible, AtStartTheWindowSaysWhyAndWhatToDo)
{
    rig.addHead();
    rig.bus.refuseOpen(StationRig::kHeadPath, GetParam().error);
    rig.station.initialise();

    EXPECT_EQ(rig.view.caption(), expectedText());
    EXPECT_EQ(rig.view.pane(0).label, expectedText());
    EXPECT_EQ(rig.view.menusEnabled(), false);
    // Other devices arriving meanwhile do not repeat the message.
    rig.bus.addForeignDevice("/dev/hidraw-kbd", 0x046D, 0xC31C, u"Logi", u"Keyboard");
    rig.idle(300ms);
    EXPECT_EQ(messagesWith(expectedText()), 1U);
    EXPECT_EQ(rig.view.caption(), expectedText());
}

TEST_P(HeadNotAccessible, PluggedInLaterItSaysSoAndConnectsOnceAllowed)
{
    rig.station.initialise();
    EXPECT_EQ(rig.view.caption(), text::kNoHeadAtStart);

    rig.addHead();
    rig.bus.unplug(StationRig::kHeadPath);
    rig.bus.refuseOpen(StationRig::kHeadPath, GetParam().error);
    rig.bus.plug(StationRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == expectedText(); }));
    EXPECT_EQ(rig.view.pane(0).label, expectedText());
    EXPECT_EQ(messagesWith(expectedText()), 1U);

    // Unplugged, it is no longer there to explain: the no-head state again.
    rig.bus.unplug(StationRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == text::kNoHeadAtStart; }));
    EXPECT_EQ(rig.view.pane(0).label, texts::text(texts::TextId::PaneDisconnected, GetParam().english));

    // The rule installed (or the other program closed) and the head plugged in again: it connects.
    rig.bus.refuseOpen(StationRig::kHeadPath, 0);
    rig.bus.plug(StationRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.station.loopRunning() && rig.countCommand(0x30) > 0; }));
    // Connected, the language is the one the head stores.
    const bool english = rig.setup.global().englishUi();
    EXPECT_EQ(rig.view.caption(), texts::text(texts::TextId::ConnectedCaption, english));
    EXPECT_EQ(rig.view.pane(0).label, texts::text(texts::TextId::PaneConnected, english));
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, HeadNotAccessible,
    ::testing::Values(
        NotAccessibleCase{"PermissionDeniedChinese", EACCES, texts::TextId::HeadReasonPermission, false},
        NotAccessibleCase{"PermissionDeniedEnglish", EACCES, texts::TextId::HeadReasonPermission, true},
        NotAccessibleCase{"NotPermittedEnglish", EPERM, texts::TextId::HeadReasonPermission, true},
        NotAccessibleCase{"BusyChinese", EBUSY, texts::TextId::HeadReasonBusy, false},
        NotAccessibleCase{"BusyEnglish", EBUSY, texts::TextId::HeadReasonBusy, true}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(Connection, PluggingInGreetsTheHeadAndStartsTesting)
{
    StationRig rig(false);
    rig.station.initialise();
    rig.addHead();
    ASSERT_TRUE(rig.pump([&] { return rig.station.loopRunning() && rig.countCommand(0x30) > 0; }));

    EXPECT_EQ(rig.view.captions().at(1), texts::text(texts::TextId::ConnectedCaption, false));
    EXPECT_EQ(rig.view.menusEnabled(), true);
    EXPECT_EQ(rig.view.commandEnabled(32773), false);
    EXPECT_EQ(rig.view.commandEnabled(32787), true);
    EXPECT_EQ(rig.view.pane(0).label, "已连接");

    // The beep: buzzer byte 8 goes to 1 and, more than 100 ms later, back to 0.
    const auto received = rig.head->received();
    std::vector<std::pair<std::chrono::steady_clock::time_point, std::uint8_t>> buzzer;
    for (std::size_t i = 0; i + 1 < received.size(); ++i)
        if (received[i].report[3] == 0x25 && received[i].report[1] == 0xAA)
            buzzer.emplace_back(received[i + 1].at, received[i + 1].report[1 + 8]);
    ASSERT_GE(buzzer.size(), 5U);
    EXPECT_EQ(buzzer[1].second, 1);
    EXPECT_EQ(buzzer[4].second, 0);
    EXPECT_GT(buzzer[4].first - buzzer[1].first, 100ms);

    EXPECT_EQ(rig.countCommand(0x1C), 1); // one QueryStatus: one start-up
    const auto texts = shownTexts(*rig.head);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), text::kLcdBooting); // the demo head has no brand code
    EXPECT_EQ(rig.head->lcdLine(0), " SENSOR TESTER  ");
}

struct HeadCheckCase {
    const char* type;
    std::uint16_t firmware;
    const char* message; // null: the head is accepted and tested
};

class HeadChecks : public ::testing::TestWithParam<HeadCheckCase> {};

TEST_P(HeadChecks, RefusedHeadsEndTheProcessAfterTheirMessage)
{
    const HeadCheckCase& c = GetParam();
    StationRig rig;
    rig.setDeviceType(c.type);
    rig.head->setFirmwareVersion(c.firmware);
    rig.station.initialise();

    if (c.message == nullptr) {
        ASSERT_TRUE(rig.pump([&] { return rig.station.loopRunning(); }));
        EXPECT_TRUE(rig.view.messageTexts().empty());
        EXPECT_FALSE(rig.view.exitCode().has_value());
        return;
    }
    ASSERT_TRUE(rig.pump([&] { return rig.view.exitCode().has_value(); }));
    EXPECT_EQ(rig.view.exitCode(), 0);
    ASSERT_EQ(rig.view.messageTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(rig.view.messages().front().caption, std::string()); // empty caption, warning icon
    EXPECT_EQ(rig.view.messages().front().icon, station::MessageIcon::Warning);
    rig.pump([&] { return !rig.station.startupRunning(); });
    EXPECT_FALSE(rig.station.loopRunning());
    EXPECT_TRUE(rig.station.ended());
}

INSTANTIATE_TEST_SUITE_P(Station, HeadChecks,
                         ::testing::Values(HeadCheckCase{"TRIVELLAV2", 0x0056, nullptr},
                                           HeadCheckCase{"trivellav2", 0x0110, nullptr},
                                           HeadCheckCase{"TRIVELLAV2.1", 0x0110, nullptr},
                                           HeadCheckCase{"TRIVELLAV2X", 0x0110,
                                                         texts::text(texts::TextId::UnsupportedType, false)},
                                           HeadCheckCase{"TRIVELLAV2", 0x0055,
                                                         texts::text(texts::TextId::OldFirmware, false)}),
                         [](const ::testing::TestParamInfo<HeadCheckCase>& c) {
                             char firmware[8];
                             std::snprintf(firmware, sizeof firmware, "%04X", c.param.firmware);
                             return caseNameFromText(c.param.type) + "Firmware" + firmware;
                         });

TEST(Connection, RemovalShowsDisconnectedOnlyAfterTheDelay)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.bus.unplug(StationRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.view.timerPending(); }));
    EXPECT_NE(rig.view.caption(), text::kRemoved); // the window keeps running meanwhile

    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == text::kRemoved; }, 5s));
    EXPECT_EQ(rig.view.menusEnabled(), false);
    EXPECT_EQ(rig.view.pane(0).label, "未连接");
    EXPECT_EQ(rig.setup.grid().get(), (std::pair{0, 0}));
    EXPECT_TRUE(rig.pump([&] { return !rig.station.loopRunning(); }));
}

TEST(Connection, HeadReturningWithinTheDelayStaysConnected)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.bus.unplug(StationRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.view.timerPending(); }));
    rig.bus.plug(StationRig::kHeadPath);
    ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x1C) == 2 && rig.station.loopRunning(); }));

    rig.idle(2500ms);
    for (const std::string& caption : rig.view.captions())
        EXPECT_NE(caption, text::kRemoved);
    EXPECT_TRUE(rig.station.loopRunning());
    EXPECT_EQ(rig.view.menusEnabled(), true);
}

TEST(Connection, OtherHidDevicesComingAndGoingDoNotDisturbTesting)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.bus.addForeignDevice("/dev/hidraw-mouse", 0x046D, 0xC077, u"Mouse maker", u"Mouse");
    rig.idle(300ms);
    rig.bus.unplug("/dev/hidraw-mouse");
    rig.idle(300ms);

    EXPECT_FALSE(rig.view.timerPending());
    EXPECT_TRUE(rig.station.loopRunning());
    EXPECT_EQ(rig.countCommand(0x1C), 1); // no second start-up
    const int reads = rig.countCommand(0x30);
    EXPECT_TRUE(rig.pump([&] { return rig.countCommand(0x30) > reads; }));
}

TEST(Connection, ZeroCountsRestartAHardwareHeadAndTheStationReconnects)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.head->setZeroCounts(true);
    ASSERT_TRUE(rig.pump([&] { return rig.head->restartCount() >= 1; }));
    rig.head->setZeroCounts(false);
    ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x1C) >= 2 && rig.station.loopRunning(); }));
    rig.idle(2500ms);
    EXPECT_TRUE(rig.station.loopRunning());
    EXPECT_NE(rig.view.caption(), text::kRemoved);
}

TEST(Connection, ZeroCountsOnASoftwareHeadAreShown)
{
    StationRig rig;
    rig.head->setHardwareKind(false);
    ASSERT_TRUE(rig.startRunning());
    rig.head->setZeroCounts(true);
    const int reads = rig.countCommand(0x30);
    ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x30) > reads + 8; }));
    EXPECT_EQ(rig.head->restartCount(), 0);
    EXPECT_TRUE(rig.station.loopRunning());
    EXPECT_EQ(rig.grid.panel(0, 0).rawOf(0), 0);
}

TEST(Connection, CloseSwitchesTheHeadOffInOrder)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    const std::size_t before = controlWrites(*rig.head).size();
    rig.flags.stop();
    rig.station.close();

    const auto writes = controlWrites(*rig.head);
    ASSERT_GE(writes.size(), before + 6);
    const Payload last = writes.back();
    for (int byte : {8, 6, 5, 7, 1})
        EXPECT_EQ(last[static_cast<std::size_t>(byte)], 0) << byte;
    EXPECT_EQ(last[9], 1);
    EXPECT_EQ(rig.head->lcdLine(0), " SENSOR TESTER  ");
    EXPECT_EQ(rig.head->lcdLine(1), text::kLcdClosed);
    EXPECT_FALSE(rig.station.loopRunning());
}

TEST(Connection, ClosingDuringBoardLoadingEndsCleanly)
{
    StationRig rig(true, 4, 4, 64);
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] { return rig.view.progress().first >= 1; }));
    rig.flags.stop();
    rig.station.close();
    EXPECT_FALSE(rig.station.startupRunning());
    EXPECT_FALSE(rig.station.loopRunning());
    EXPECT_EQ(rig.head->lcdLine(1), text::kLcdClosed);
}

TEST(Connection, ClosingDuringAOneKeySettingEndsCleanly)
{
    StationRig rig(true, 4, 4, 64);
    ASSERT_TRUE(rig.startRunning());
    rig.commands.startOneKeySetting();
    rig.idle(50ms);
    rig.flags.stop();
    rig.commands.joinWorkers();
    rig.station.close();
    EXPECT_EQ(rig.head->lcdLine(1), text::kLcdClosed);
}
