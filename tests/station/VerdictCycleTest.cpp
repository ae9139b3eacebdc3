// The verdict the head signals is the verdict of the counts the cycle just read, and a board the
// station did not judge in this cycle is never signalled as passing.
#include "StationRig.h"
#include "device/StorageMap.h"
#include "sim/DemoSetup.h"
#include "station/StationTexts.h"

#include <gtest/gtest.h>

#include <optional>

using namespace std::chrono_literals;
namespace text = station::text;

namespace {

constexpr std::uint8_t kReadCounts = 0x30;
constexpr std::uint8_t kReadMemory = 0x23;
constexpr std::uint8_t kWriteControl = 0x25;
constexpr std::uint8_t kShowText = 0xB0;
constexpr std::uint8_t kBuzzerAndLamps = 0x05; // outputFlags: buzzer and lamps, not inverted

bool isCommand(const Report& r, std::uint8_t code)
{
    return r[1] == 0xAA && r[2] == 0x55 && r[3] == code;
}

// The control block written and the LCD text shown after the first count read of the connection:
// what the head signalled for the first cycle.
struct FirstSignal {
    std::optional<Payload> control; // the first WriteControl's block
    std::optional<std::string> lcd;
};

FirstSignal firstSignalAfterCounts(const SimHead& head)
{
    FirstSignal seen;
    const auto received = head.received();
    bool counted = false;
    for (std::size_t i = 0; i < received.size(); ++i) {
        const Report& r = received[i].report;
        counted |= isCommand(r, kReadCounts);
        if (!counted)
            continue;
        if (!seen.control && isCommand(r, kWriteControl) && i + 1 < received.size()) {
            Payload data{};
            std::copy(received[i + 1].report.begin() + 1, received[i + 1].report.end(), data.begin());
            seen.control = data;
        }
        if (!seen.lcd && isCommand(r, kShowText)) {
            std::string line(r.begin() + 26, r.begin() + 42);
            seen.lcd = line.substr(0, line.find('\0'));
            break;
        }
    }
    return seen;
}

// The LCD texts shown after the first count read.
std::vector<std::string> textsWhileTesting(const SimHead& head)
{
    std::vector<std::string> texts;
    bool counted = false;
    for (const auto& r : head.received()) {
        counted |= isCommand(r.report, kReadCounts);
        if (counted && isCommand(r.report, kShowText)) {
            std::string line(r.report.begin() + 26, r.report.begin() + 42);
            texts.push_back(line.substr(0, line.find('\0')));
        }
    }
    return texts;
}

// Address and port of demo board k.
std::pair<std::uint8_t, int> demoPort(int k)
{
    return {static_cast<std::uint8_t>(demo::kFirstExpansionAddress + k / 8), k % 8};
}

// Heals the demo's defective channel (of the last board) so that every board passes.
void healDemo(SimHead& head, int boards, int channels)
{
    const int last = boards - 1;
    const auto [address, port] = demoPort(last);
    const int channel = demo::defectChannel(channels);
    head.setChannelDefect(address, port, channel, demo::referenceCount(last, channel));
}

} // namespace

// The first cycle after connection signals the verdict of its own counts: a 4 x 4 demo head
// with one failing board beeps 1, not the 16 of boards nobody had judged yet.
TEST(CycleVerdict, FirstCycleSignalsTheVerdictOfItsOwnCounts)
{
    StationRig rig(true, 4, 4, 64);
    rig.setGlobalByte(0, kBuzzerAndLamps);
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] { return firstSignalAfterCounts(*rig.head).lcd.has_value(); }));
    const FirstSignal first = firstSignalAfterCounts(*rig.head);
    ASSERT_TRUE(first.control.has_value());
    EXPECT_EQ((*first.control)[8], 1) << "buzzer: one failing board";
    EXPECT_EQ(*first.lcd, text::kLcdFail);
}

// Steady state: buzzer, lamps and LCD of every cycle tell the same verdict.
TEST(CycleVerdict, EverySignalOfACycleTellsTheSameVerdict)
{
    StationRig rig;
    rig.setGlobalByte(0, kBuzzerAndLamps);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return textsWhileTesting(*rig.head).size() >= 3; }));
    rig.stopLoop();
    const Payload control = rig.head->controlBlock();
    EXPECT_EQ(control[8], 1);
    EXPECT_EQ(control[6], 1);
    EXPECT_EQ(control[7], 0);
    EXPECT_EQ(rig.head->lcdLine(1), text::kLcdFail);

    // Healed, the next cycles signal ALL PASS on all three outputs.
    healDemo(*rig.head, 4, 40);
    rig.head->clearReceived();
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return rig.head->lcdLine(1) == text::kLcdAllPass; }));
    const int texts = static_cast<int>(shownTexts(*rig.head).size());
    ASSERT_TRUE(rig.pump([&] { return static_cast<int>(shownTexts(*rig.head).size()) > texts; }));
    const Payload passing = rig.head->controlBlock();
    EXPECT_EQ(passing[8], 0);
    EXPECT_EQ(passing[6], 0);
    EXPECT_EQ(passing[7], 1);
}

// One lost reply during loading of the defective board never lets the head signal ALL PASS.
struct LostLoadReply {
    const char* name;
    std::uint8_t command;
    std::uint16_t address;
    int times; // 2: lost again when loading retries the board
};

class LostReplyWhileLoading : public ::testing::TestWithParam<LostLoadReply> {};

TEST_P(LostReplyWhileLoading, TheDefectiveBoardNeverPasses)
{
    const LostLoadReply& c = GetParam();
    StationRig rig;
    rig.setGlobalByte(0, kBuzzerAndLamps);
    rig.channel.setReplyTimeout(100ms);
    for (int i = 0; i < c.times; ++i)
        rig.head->dropReplyTo(c.command, c.address);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return textsWhileTesting(*rig.head).size() >= 3; }));
    rig.stopLoop();
    for (const std::string& shown : textsWhileTesting(*rig.head))
        EXPECT_EQ(shown, text::kLcdFail);
    EXPECT_NE(rig.head->controlBlock()[7], 1) << "pass lamp lit";
    EXPECT_GE(rig.grid.failCount.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Station, LostReplyWhileLoading,
    ::testing::Values(LostLoadReply{"MaskOnce", kReadMemory, storage::maskAddress(3), 1},
                      LostLoadReply{"MaskTwice", kReadMemory, storage::maskAddress(3), 2},
                      LostLoadReply{"LowerThresholdsOnce", kReadMemory, storage::thresholdLowAddress(3), 1},
                      LostLoadReply{"RecordTwice", kReadMemory, storage::boardRecordAddress(3), 2}),
    [](const ::testing::TestParamInfo<LostLoadReply>& tp) { return std::string(tp.param.name); });

// A board whose counts did not arrive in a cycle is not judged in it: that cycle signals FAIL on
// a head whose boards all pass.
TEST(CycleVerdict, ABoardWhoseCountsDidNotArriveFailsThatCycle)
{
    StationRig rig;
    healDemo(*rig.head, 4, 40);
    rig.setGlobalByte(0, kBuzzerAndLamps);
    rig.channel.setReplyTimeout(100ms);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return rig.head->lcdLine(1) == text::kLcdAllPass; }));
    rig.head->clearReceived();
    rig.head->dropReplyTo(kReadCounts);
    ASSERT_TRUE(rig.pump([&] { return textsWhileTesting(*rig.head).size() >= 3; }));
    const auto texts = textsWhileTesting(*rig.head);
    EXPECT_NE(std::find(texts.begin(), texts.end(), text::kLcdFail), texts.end());
    EXPECT_EQ(texts.back(), text::kLcdAllPass); // the next cycles judge the board again
}

namespace {

// Keeps every published cycle result (observers run on the acquisition thread).
class CycleLog {
public:
    explicit CycleLog(station::CycleObservers& observers) : observers_(observers)
    {
        token_ = observers_.subscribe([this](const display::CycleResult& r) {
            std::lock_guard lock(mutex_);
            results_.push_back(r);
        });
    }
    ~CycleLog() { observers_.unsubscribe(token_); }
    CycleLog(const CycleLog&) = delete;
    CycleLog& operator=(const CycleLog&) = delete;

    std::vector<display::CycleResult> results() const
    {
        std::lock_guard lock(mutex_);
        return results_;
    }
    std::size_t size() const { return results().size(); }

private:
    station::CycleObservers& observers_;
    station::CycleObservers::Token token_ = 0;
    mutable std::mutex mutex_;
    std::vector<display::CycleResult> results_;
};

const display::BoardResult* boardAt(const display::CycleResult& r, int row, int col)
{
    for (const auto& b : r.boards)
        if (b.row == row && b.col == col)
            return &b;
    return nullptr;
}

} // namespace

// Each cycle publishes what it judged and signalled: every shown board with its channels.
TEST(CycleVerdict, EachCyclePublishesItsJudgement)
{
    StationRig rig;
    rig.setGlobalByte(0, kBuzzerAndLamps);
    CycleLog log(rig.ctx.cycles);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return log.size() >= 2; }));
    rig.stopLoop();
    const auto results = log.results();
    EXPECT_EQ(results[0].cycle, 1U);
    EXPECT_EQ(results[1].cycle, 2U);
    const display::CycleResult& r = results.back();
    EXPECT_EQ(r.failCount, 1);
    ASSERT_EQ(r.boards.size(), 4U);
    const display::BoardResult* last = boardAt(r, 1, 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->state, display::BoardVerdict::Fail);
    EXPECT_EQ(last->boardIndex, 3);
    EXPECT_EQ(last->channelCount, 40);
    ASSERT_EQ(last->channels.size(), 40U);
    EXPECT_EQ(last->failingChannels, std::vector<int>{demo::defectChannel(40)});
    const display::ChannelResult& ch = last->channels[static_cast<std::size_t>(demo::defectChannel(40))];
    EXPECT_FALSE(ch.pass);
    EXPECT_TRUE(ch.judged);
    EXPECT_LT(ch.count, ch.low);
    EXPECT_EQ(boardAt(r, 0, 0)->state, display::BoardVerdict::Pass);
    // The view's panels carry the same verdict.
    EXPECT_EQ(rig.grid.panel(1, 1).verdict.load(), static_cast<std::uint8_t>(display::BoardVerdict::Fail));
    EXPECT_EQ(rig.grid.failCount.load(), 1);
}

// A 40-channel board with every channel Closed is LOAD: not a pass and not counted as failing.
TEST(CycleVerdict, FortyChannelBoardWithEveryChannelClosedLoads)
{
    StationRig rig(true, 1, 2, 40);
    healDemo(*rig.head, 2, 40);
    const std::vector<std::uint8_t> closed(40, 1);
    rig.head->setMemory(storage::maskAddress(0), closed.data(), 40);
    CycleLog log(rig.ctx.cycles);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return log.size() >= 1; }));
    rig.stopLoop();
    const display::CycleResult r = log.results().back();
    EXPECT_EQ(boardAt(r, 0, 0)->state, display::BoardVerdict::Load);
    EXPECT_EQ(boardAt(r, 0, 1)->state, display::BoardVerdict::Pass);
    EXPECT_EQ(r.failCount, 0);
}

// A board that did not load (its mask read lost twice) is not measured, fails the cycle and is
// reported once; the boards before it are tested.
TEST(CycleVerdict, ABoardThatDidNotLoadIsNotMeasured)
{
    StationRig rig;
    rig.channel.setReplyTimeout(100ms);
    healDemo(*rig.head, 4, 40);
    rig.head->dropReplyTo(kReadMemory, storage::maskAddress(2));
    rig.head->dropReplyTo(kReadMemory, storage::maskAddress(2));
    CycleLog log(rig.ctx.cycles);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return log.size() >= 2; }));
    rig.stopLoop();
    const display::CycleResult r = log.results().back();
    EXPECT_EQ(boardAt(r, 0, 0)->state, display::BoardVerdict::Pass);
    EXPECT_EQ(boardAt(r, 0, 1)->state, display::BoardVerdict::Pass);
    EXPECT_EQ(boardAt(r, 1, 0)->state, display::BoardVerdict::NotMeasured);
    EXPECT_EQ(boardAt(r, 1, 1)->state, display::BoardVerdict::NotMeasured); // loading stopped there
    EXPECT_EQ(r.failCount, 2);
    EXPECT_EQ(rig.head->lcdLine(1), text::kLcdFail);
    const auto messages = rig.view.messageTexts();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_NE(messages.front().find("1"), std::string::npos);
}

// While boards load, the ones not loaded yet are Loading, never a verdict.
TEST(CycleVerdict, BoardsStillLoadingAreLoading)
{
    StationRig rig;
    rig.station.initialise();
    ASSERT_TRUE(rig.pump([&] { return rig.view.progress().first >= 1; }));
    EXPECT_EQ(rig.grid.panel(1, 1).verdict.load(), static_cast<std::uint8_t>(display::BoardVerdict::Loading));
    EXPECT_FALSE(rig.grid.panel(1, 1).loaded.load());
    ASSERT_TRUE(rig.pump([&] { return rig.station.loopRunning() && rig.countCommand(kReadCounts) >= 8; }));
}

// Unsubscribing stops the calls; results keep coming to the others.
TEST(CycleVerdict, UnsubscribedObserversAreNotCalled)
{
    StationRig rig;
    std::atomic<int> calls{0};
    const auto token = rig.ctx.cycles.subscribe([&](const display::CycleResult&) { ++calls; });
    CycleLog log(rig.ctx.cycles);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return calls.load() >= 1; }));
    rig.ctx.cycles.unsubscribe(token);
    const int seen = calls.load();
    const std::size_t logged = log.size();
    ASSERT_TRUE(rig.pump([&] { return log.size() >= logged + 2; }));
    EXPECT_EQ(calls.load(), seen);
}

// A cycle so slow that the first board's counts are older than one second when the cycle is
// judged: that board is not measured and the cycle signals FAIL on boards that all pass.
TEST(CycleVerdict, CountsOlderThanOneSecondAreNotMeasured)
{
    StationRig rig(true, 1, 3, 40);
    healDemo(*rig.head, 3, 40);
    CycleLog log(rig.ctx.cycles);
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.pump([&] { return rig.head->lcdLine(1) == text::kLcdAllPass; }));
    rig.head->setReplyDelay(600ms); // below the reply bound: every reply arrives, late
    const std::size_t before = log.size();
    ASSERT_TRUE(rig.pump([&] { return log.size() >= before + 2; }, 30s));
    rig.head->setReplyDelay(0ms);
    const display::CycleResult slow = log.results()[before + 1]; // wholly under the delay
    EXPECT_EQ(boardAt(slow, 0, 0)->state, display::BoardVerdict::NotMeasured);
    EXPECT_EQ(boardAt(slow, 0, 2)->state, display::BoardVerdict::Pass);
    EXPECT_GE(slow.failCount, 1);
    // The head is signalled after the cycle's result is published: wait for the signal.
    EXPECT_TRUE(rig.pump(
        [&] {
            const auto texts = textsWhileTesting(*rig.head);
            return std::find(texts.begin(), texts.end(), text::kLcdFail) != texts.end();
        },
        10s));
}
