// The station against a head that answers late, stops answering or reads zeros on a board:
// the head's storage keeps its own bytes, the window says when the head is silent and carries on
// when it answers again, close and notifications never wait out time-outs, and the zero-reading
// restart is bounded.
#include "StationRig.h"
#include "device/ReportTrace.h"
#include "sim/DemoSetup.h"
#include "station/StationTexts.h"
#include "texts/Texts.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;
namespace text = station::text;

namespace {

// Names parameterised cases after their `name` field.
struct ByName {
    template <typename Param> std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

constexpr const char* kSilentChinese = "测试头无响应";

Report reportOf(std::initializer_list<std::uint8_t> bytesFromOne)
{
    Report r{};
    std::copy(bytesFromOne.begin(), bytesFromOne.end(), r.begin() + 1);
    return r;
}

// ---- a late reply never lands in the head's storage ------------------------------------------

// One thread's read-modify-write times out while another thread's waits for compositeLock; the
// late reply arrives while the second one reads. Whatever the second one writes must be made of
// the bytes it read from its own block.
struct LateCase {
    const char* name;
    std::uint8_t lateCommand;                // the first thread's read that answers late
    std::function<void(StationRig&)> first;  // the first thread's command
    std::function<void(StationRig&)> second; // the waiting command
    std::function<void(StationRig&, const Payload& settings, const Payload& control)> check;
    friend void PrintTo(const LateCase& c, std::ostream* os) { *os << c.name; }
};

class LateReplyAcrossCommands : public ::testing::TestWithParam<LateCase> {};

TEST_P(LateReplyAcrossCommands, NeverWritesAnotherCommandsBytes)
{
    const LateCase& c = GetParam();
    StationRig rig;
    rig.ops.setPause([](std::chrono::milliseconds) {});
    ASSERT_TRUE(rig.channel.openTester(rig.bus));
    Payload identity{};
    ASSERT_TRUE(rig.channel.readIdentity(identity));
    Payload control{};
    for (std::size_t i = 0; i < control.size(); ++i)
        control[i] = static_cast<std::uint8_t>(0xC0 + (i & 0x0F));
    rig.head->setControlBlock(control);
    const Payload settings = rig.head->block(storage::SETTINGS_BLOCK);

    rig.channel.setReplyTimeout(200ms);
    rig.head->delayNextReplyTo(c.lateCommand, 300ms);
    std::promise<void> started;
    std::thread worker([&] {
        std::lock_guard composite(rig.channel.compositeLock);
        started.set_value();
        c.first(rig);
    });
    started.get_future().wait();
    c.second(rig); // waits for compositeLock, then runs while the late reply comes in
    worker.join();
    std::this_thread::sleep_for(400ms); // anything still in flight has arrived
    c.check(rig, settings, control);
}

GlobalSettings withViewRange(GlobalSettings g)
{
    g.viewRangeMax = 1234;
    return g;
}

INSTANTIATE_TEST_SUITE_P(
    Station, LateReplyAcrossCommands,
    ::testing::Values(
        // The acquisition thread's control-byte change times out while a menu command waits.
        LateCase{"ControlReadLateThenSettingsChanged", 0x24,
                 [](StationRig& rig) { rig.channel.setControlByte(8, 1); },
                 [](StationRig& rig) {
                     rig.ops.changeGlobalSettings([](GlobalSettings& g) { g = withViewRange(g); });
                 },
                 [](StationRig& rig, const Payload& settings, const Payload&) {
                     Payload changed = settings;
                     withViewRange(GlobalSettings::decode(std::span<const std::uint8_t, 64>(settings)))
                         .encodeInto(std::span<std::uint8_t, 64>(changed).first<GlobalSettings::kSize>());
                     const Payload now = rig.head->block(storage::SETTINGS_BLOCK);
                     EXPECT_TRUE(now == settings || now == changed)
                         << "block 249 holds bytes it was never given";
                 }},
        // A settings read times out while the acquisition thread waits to change a control byte.
        LateCase{"SettingsReadLateThenControlByteChanged", 0x21,
                 [](StationRig& rig) { rig.ops.readGlobalSettings(); },
                 [](StationRig& rig) { rig.channel.setControlByte(8, 1); },
                 [](StationRig& rig, const Payload&, const Payload& control) {
                     Payload changed = control;
                     changed[8] = 1;
                     const Payload now = rig.head->controlBlock();
                     EXPECT_TRUE(now == control || now == changed)
                         << "the control block holds bytes it was never given";
                 }}),
    ByName());

// ---- a silent head ---------------------------------------------------------------------------

TEST(SilentHead, TheWindowSaysSoAndTestingGoesOnWhenItAnswersAgain)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.channel.setReplyTimeout(200ms);
    rig.head->setNoReply(true);
    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == kSilentChinese; }, 5s));
    EXPECT_EQ(rig.view.pane(0).label, kSilentChinese);

    // Silent: nothing but re-synchronising requests reach the head, so lamps and LCD stay as they are.
    rig.head->clearReceived();
    rig.idle(1500ms);
    for (const auto& r : rig.head->received()) {
        const bool identityRead =
            r.report == reportOf({0xAA, 0x55, 0x21}) || r.report == reportOf({254, 0x40});
        EXPECT_TRUE(identityRead) << "sent to a silent head: " << ReportTrace::hex(r.report);
    }
    EXPECT_TRUE(rig.station.loopRunning());

    rig.head->setNoReply(false);
    const int reads = rig.countCommand(0x30);
    ASSERT_TRUE(rig.pump(
        [&] {
            return rig.view.caption() == std::string(texts::text(texts::TextId::ConnectedCaption, false));
        },
        5s));
    EXPECT_EQ(rig.view.pane(0).label, std::string(texts::text(texts::TextId::PaneConnected, false)));
    ASSERT_TRUE(
        rig.pump([&] { return rig.countCommand(0x30) > reads + 4 && !shownTexts(*rig.head).empty(); }));
    EXPECT_EQ(rig.head->restartCount(), 0);
    EXPECT_EQ(rig.countCommand(0x1C), 0) << "the station started the head again instead of going on";
    EXPECT_TRUE(rig.station.loopRunning());
}

// A head that stays on the bus but does not answer while the station connects to it (still
// booting, or hung) is not shown as gone: the window says it does not answer, and the station
// connects as soon as it answers again, without anyone plugging it in again.
TEST(SilentHead, AtStartUpTheWindowSaysSoAndConnectsWhenItAnswers)
{
    StationRig rig;
    rig.channel.setReplyTimeout(200ms);
    rig.head->setNoReply(true);
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == kSilentChinese; }, 10s)) << rig.view.caption();
    EXPECT_EQ(rig.view.pane(0).label, kSilentChinese);
    EXPECT_FALSE(rig.station.loopRunning());

    rig.head->setNoReply(false);
    ASSERT_TRUE(rig.pump([&] { return rig.station.loopRunning(); }, 15s));
    ASSERT_TRUE(rig.pump(
        [&] {
            return rig.view.caption() == std::string(texts::text(texts::TextId::ConnectedCaption, false)) &&
                   rig.view.pane(0).label == std::string(texts::text(texts::TextId::PaneConnected, false));
        },
        5s))
        << rig.view.caption();
    EXPECT_EQ(rig.setup.grid().get(), (std::pair{2, 2}));
}

// A head that goes away while silent is shown as gone, not as silent, and nothing retries it.
TEST(SilentHead, UnpluggedWhileSilentItIsShownAsGone)
{
    StationRig rig;
    rig.channel.setReplyTimeout(200ms);
    rig.head->setNoReply(true);
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == kSilentChinese; }, 10s));
    rig.head->unplug();
    ASSERT_TRUE(rig.pump([&] { return rig.view.caption() == text::kRemoved; }, 10s)) << rig.view.caption();
    EXPECT_EQ(rig.view.pane(0).label, std::string(texts::text(texts::TextId::PaneDisconnected, false)));
    rig.idle(1500ms);
    EXPECT_EQ(rig.view.caption(), text::kRemoved);
    EXPECT_FALSE(rig.station.loopRunning());
}

// ---- close and notifications never wait out time-outs ----------------------------------------

struct CloseCase {
    const char* name;
    bool duringLoading;
    friend void PrintTo(const CloseCase& c, std::ostream* os) { *os << c.name; }
};

class CloseWithSilentHead : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseWithSilentHead, ReturnsWithinTwoSeconds)
{
    StationRig rig(true, 4, 4, 64);
    if (GetParam().duringLoading) {
        rig.station.initialise();
        ASSERT_TRUE(rig.pump([&] { return rig.view.progress().first >= 1; }));
    } else {
        ASSERT_TRUE(rig.startRunning());
    }
    rig.head->setNoReply(true); // the real one-second bound stays in force
    rig.idle(100ms);

    const auto start = std::chrono::steady_clock::now();
    rig.flags.stop();
    rig.station.close();
    const auto took = std::chrono::steady_clock::now() - start;
    RecordProperty("close_ms",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    EXPECT_LT(took, 2s) << "close took "
                        << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms";
    EXPECT_FALSE(rig.station.startupRunning());
    EXPECT_FALSE(rig.station.loopRunning());
}

INSTANTIATE_TEST_SUITE_P(Station, CloseWithSilentHead,
                         ::testing::Values(CloseCase{"DuringAcquisition", false},
                                           CloseCase{"DuringLoading", true}),
                         ByName());

TEST(CloseWithSilentHead, StopsSendingAfterTheFirstMissingReply)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    rig.head->setNoReply(true);
    rig.idle(50ms);
    rig.flags.stop();
    rig.head->clearReceived();
    rig.station.close();
    EXPECT_EQ(rig.countCommand(0x25), 0) << "a control block was written with bytes that never came";
    EXPECT_EQ(rig.countCommand(0xB0), 0) << "the closing line went to a head that does not answer";
}

TEST(Notifications, NeverWaitForATransaction)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    std::promise<void> locked;
    std::promise<void> release;
    std::thread holder([&] {
        std::lock_guard lock(rig.channel.transactionLock);
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();

    auto handled = std::async(std::launch::async, [&] {
        rig.station.onArrival("/dev/hidraw-mouse");
        rig.station.onRemoval("/dev/hidraw-mouse");
    });
    const bool prompt = handled.wait_for(500ms) == std::future_status::ready;
    release.set_value();
    holder.join();
    handled.wait();
    EXPECT_TRUE(prompt) << "a HID notification waited for the head's transaction lock";
}

// ---- the zero-reading restart is bounded -----------------------------------------------------

TEST(ZeroReading, ABoardOnAnUnwiredPortRestartsTheHeadAtMostThreeTimes)
{
    StationRig rig;
    const std::uint8_t unwiredPort = 7;
    rig.head->setMemory(static_cast<std::uint16_t>(storage::boardTableEntryAddress(3) + 3), &unwiredPort, 1);
    rig.head->setRestartDelay(50ms);
    rig.station.initialise();

    ASSERT_TRUE(
        rig.pump([&] { return !rig.view.messageTexts().empty() || rig.head->restartCount() > 3; }, 40s));
    ASSERT_TRUE(rig.pump([&] { return rig.station.loopRunning(); }));
    const int restarts = rig.head->restartCount();
    EXPECT_LE(restarts, 3);
    rig.idle(1500ms);
    EXPECT_EQ(rig.head->restartCount(), restarts) << "the loop went on restarting the head";
    EXPECT_TRUE(rig.station.loopRunning());

    // One message, naming the board.
    const auto messages = rig.view.messageTexts();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_NE(messages.front().find("1行1列"), std::string::npos) << messages.front();
}

TEST(ZeroReading, ACommandRunningItsOwnExchangesIsNotCutShortByARestart)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    {
        // Like the expansion dialog's OK or a Load: several exchanges that belong together.
        const CUSBChannel::CommandGuard command(rig.channel);
        rig.head->setZeroCounts(true);
        const int reads = rig.countCommand(0x30);
        ASSERT_TRUE(rig.pump([&] { return rig.countCommand(0x30) > reads + 8; }));
        EXPECT_EQ(rig.head->restartCount(), 0) << "the loop restarted the head under a running command";
        EXPECT_TRUE(rig.ops.readGlobalSettings());
        EXPECT_TRUE(rig.ops.readBoardTable());
    }
    // Once the command is done the rule applies again.
    EXPECT_TRUE(rig.pump([&] { return rig.head->restartCount() == 1; }));
}

} // namespace
