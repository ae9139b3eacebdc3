// The acquisition loop and board loading against the simulated head.
#include "StationRig.h"
#include "sim/DemoSetup.h"
#include "station/AcquisitionLoop.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace std::chrono_literals;
using station::AcquisitionLoop;
namespace text = station::text;

struct SignalCase {
    std::uint8_t outputFlags;
    int failCount;
    std::uint8_t buzzer;
    std::uint8_t ledFail; // byte 6
    std::uint8_t ledPass; // byte 7
};

class ResultSignal : public ::testing::TestWithParam<SignalCase> {};

TEST_P(ResultSignal, BuzzerAndLampsFollowFailCount)
{
    const SignalCase& c = GetParam();
    EXPECT_EQ(AcquisitionLoop::buzzerValue(c.outputFlags, c.failCount), c.buzzer);
    EXPECT_EQ(AcquisitionLoop::lampValues(c.outputFlags, c.failCount), (std::pair{c.ledFail, c.ledPass}));
}

INSTANTIATE_TEST_SUITE_P(Station, ResultSignal,
                         ::testing::Values(SignalCase{0x00, 3, 0, 0, 0},    // nothing enabled
                                           SignalCase{0x01, 3, 3, 0, 0},    // buzzer plain: the count
                                           SignalCase{0x03, 3, 0, 0, 0},    // buzzer inverted, failing
                                           SignalCase{0x03, 0, 1, 0, 0},    // buzzer inverted, passing
                                           SignalCase{0x04, 0, 0, 0, 1},    // lamps plain, passing
                                           SignalCase{0x04, 2, 0, 2, 0},    // lamps plain, failing
                                           SignalCase{0x0C, 0, 0, 1, 0},    // lamps inverted, passing
                                           SignalCase{0x0C, 2, 0, 0, 2},    // lamps inverted, failing
                                           SignalCase{0x05, 256, 0, 0, 0}), // kept to 8 bits
                         [](const ::testing::TestParamInfo<SignalCase>& c) {
                             char flags[4];
                             std::snprintf(flags, sizeof flags, "%02X", c.param.outputFlags);
                             return "Flags" + std::string(flags) + "Fails" +
                                    std::to_string(c.param.failCount);
                         });

TEST(Acquisition, EveryCycleSignalsTheResultOnTheHead)
{
    StationRig rig;
    rig.setGlobalByte(0, 0x05); // buzzer and lamps enabled, not inverted
    // Board 0 fails too (the demo's last board has a failing channel): two failing boards.
    rig.head->setChannelDefect(demo::kFirstExpansionAddress, 0, 1, 1);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return rig.head->lcdLine(1) == text::kLcdFail; }));
    const int texts = static_cast<int>(shownTexts(*rig.head).size());
    ASSERT_TRUE(rig.pump([&] { return static_cast<int>(shownTexts(*rig.head).size()) > texts; }));
    Payload control = rig.head->controlBlock();
    EXPECT_EQ(control[8], 2);
    EXPECT_EQ(control[6], 2);
    EXPECT_EQ(control[7], 0);

    for (int b : {0, 3}) {
        const int channel = b == 0 ? 1 : demo::defectChannel(40);
        rig.head->setChannelDefect(demo::kFirstExpansionAddress, b, channel,
                                   demo::referenceCount(b, channel));
    }
    ASSERT_TRUE(rig.pump([&] { return rig.head->lcdLine(1) == text::kLcdAllPass; }));
}

TEST(Acquisition, CountsReachTheirPanelsWithTheBoardsSettings)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return rig.grid.panel(1, 1).rawOf(0) != 0; }));
    // Every board is selected, read with its measurement settings and released.
    const auto reads = rig.commands_of(0x30);
    ASSERT_FALSE(reads.empty());
    const BoardMeasureSettings measure = rig.setup.measure(0);
    EXPECT_EQ(reads.front().report[4], 0x20);
    EXPECT_EQ(reads.front().report[5], 40);
    EXPECT_EQ(reads.front().report[8], measure.countsParam1());
    EXPECT_EQ(reads.front().report[9], measure.countsParam2());
    EXPECT_NEAR(rig.grid.panel(0, 0).rawOf(0), demo::referenceCount(0, 0), 10);
}

TEST(Acquisition, CountsStayFrozenWhileTheExpansionDialogIsOpen)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.flags.expansionDialogOpen = true;
    rig.idle(200ms); // a cycle in progress may still store
    rig.grid.panel(0, 0).raw[0] = 1;
    const int reads = rig.countCommand(0x30);
    ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x30) > reads + 8; }));
    EXPECT_EQ(rig.grid.panel(0, 0).rawOf(0), 1);
}

TEST(Acquisition, CountsWhoseReplyNeverCameAreNotStored)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.channel.setReplyTimeout(50ms);
    rig.head->setNoReply(true);
    rig.idle(200ms); // a board read in progress may still store
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            rig.grid.panel(row, col).raw[0] = 1;
    // The station keeps asking the silent head for its identity to get back in step.
    const int asks = rig.countCommand(0x21);
    ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x21) > asks + 5; }));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            EXPECT_EQ(rig.grid.panel(row, col).rawOf(0), 1)
                << "a stale reply was judged as board " << row << "," << col;
}

TEST(BoardLoading, FillsPanelsMeasureAndBoardVersions)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    EXPECT_EQ(rig.setup.grid().get(), (std::pair{2, 2}));
    EXPECT_EQ(rig.view.progress(), (std::pair{4, 4}));
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(rig.setup.measure(b).firmwareVersion, demo::kExpansionFirmware) << b;
    EXPECT_EQ(rig.grid.panel(1, 0).channels(), 40);
    EXPECT_EQ(rig.grid.panel(1, 0).reference[3].load(), demo::referenceCount(2, 3));
}

TEST(BoardLoading, ABoardWithoutCustomOrderShowsTheIdentityOrder)
{
    StationRig rig;
    std::array<std::uint8_t, 64> reversed{};
    for (std::size_t i = 0; i < reversed.size(); ++i)
        reversed[i] = static_cast<std::uint8_t>(63 - i);
    rig.grid.panel(0, 0).setOrder(reversed);
    ASSERT_TRUE(rig.startRunning());
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(rig.grid.panel(0, 0).order[static_cast<std::size_t>(i)].load(), i);
}

struct RefusedGridCase {
    int rows;
    int cols;
};

class RefusedGrid : public ::testing::TestWithParam<RefusedGridCase> {};

TEST_P(RefusedGrid, StartsNoLoopAndLightsTheFailLamp)
{
    StationRig rig;
    rig.setGlobalByte(26, static_cast<std::uint8_t>(GetParam().rows));
    rig.setGlobalByte(25, static_cast<std::uint8_t>(GetParam().cols));
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] {
        return !rig.station.startupRunning() &&
               rig.view.caption() == texts::text(texts::TextId::GridRefusedCaption, false);
    }));
    rig.idle(200ms);
    EXPECT_FALSE(rig.station.loopRunning());
    EXPECT_EQ(rig.countCommand(0x30), 0);
    EXPECT_EQ(rig.head->controlBlock()[6], 1);
    EXPECT_NE(rig.head->lcdLine(1), text::kLcdAllPass);
    EXPECT_EQ(rig.setup.grid().get(), (std::pair{0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Station, RefusedGrid,
                         ::testing::Values(RefusedGridCase{5, 2}, RefusedGridCase{2, 9},
                                           RefusedGridCase{10, 1}),
                         [](const ::testing::TestParamInfo<RefusedGridCase>& c) {
                             return "Rows" + std::to_string(c.param.rows) + "Cols" +
                                    std::to_string(c.param.cols);
                         });

TEST(BoardLoading, AHeadThatStopsAnsweringIsTreatedAsGone)
{
    StationRig rig;
    rig.head->vanishAfterReports(40); // in the middle of the connection set-up
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] { return !rig.station.startupRunning(); }));
    EXPECT_FALSE(rig.station.loopRunning());
    EXPECT_TRUE(rig.view.messageTexts().empty()); // no decision on stale bytes
}
