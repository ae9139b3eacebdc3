// Restarting and the injected faults: no reply, late reply, vanishing in the middle of a
// transaction.
#include "EventRecorder.h"
#include "SimWire.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <thread>

using namespace simtest;
using namespace std::chrono_literals;

namespace {

class HeadFaults : public ::testing::Test {
protected:
    HeadFaults() { events.clear(); }

    SimBus bus;
    SimHead& head = bus.addHead();
    EventRecorder events{bus};
    Wire wire{bus.open(head.path())};
};

TEST_F(HeadFaults, RestartLeavesTheBusAndComesBack)
{
    head.setRestartDelay(0ms);
    const Payload before = head.block(249);
    ASSERT_TRUE(wire.send({header(0xFD)}));
    EXPECT_TRUE(wire.replies().empty());

    const auto seen = events.waitFor(2);
    EXPECT_EQ(seen, (std::vector<EventRecorder::Entry>{{kRemoval, head.path()}, {kArrival, head.path()}}));
    EXPECT_EQ(head.restartCount(), 1);

    // The old handle died with the restart; the stored setup survived it.
    Report r = header(0x24);
    EXPECT_FALSE(wire.handle().write(r.data(), r.size()));
    Wire fresh(bus.open(head.path()));
    EXPECT_EQ(fresh.exchange({header(0x21), report({249, 0x40})}).size(), 1U);
    EXPECT_EQ(head.block(249), before);
}

TEST_F(HeadFaults, HeadIsAwayDuringTheRestartDelay)
{
    head.setRestartDelay(std::chrono::hours(1));
    wire.send({header(0xFD)});
    events.waitFor(1);
    EXPECT_TRUE(bus.enumerate().empty());
    EXPECT_EQ(bus.open(head.path()), nullptr);

    // Plugging by hand brings it back at once; the pending return is dropped.
    bus.plug(head.path());
    EXPECT_EQ(bus.enumerate(), std::vector<std::string>{head.path()});
    EXPECT_EQ(events.entries(),
              (std::vector<EventRecorder::Entry>{{kRemoval, head.path()}, {kArrival, head.path()}}));
}

TEST_F(HeadFaults, UnplugDuringTheRestartDelayKeepsTheHeadAway)
{
    head.setRestartDelay(0ms);
    bus.unplug(head.path()); // nothing in flight: plain removal
    bus.plug(head.path());
    Wire again(bus.open(head.path()));
    head.setRestartDelay(std::chrono::hours(1));
    again.send({header(0xFD)});
    bus.unplug(head.path()); // already away: no second removal
    bus.plug(head.path());
    EXPECT_EQ(events.waitFor(4), (std::vector<EventRecorder::Entry>{{kRemoval, head.path()},
                                                                    {kArrival, head.path()},
                                                                    {kRemoval, head.path()},
                                                                    {kArrival, head.path()}}));
}

TEST_F(HeadFaults, NotificationsStayInOrderWhenRestartsAndPlugsCross)
{
    // A restart reported by the head's own thread must never overtake a plug made by hand:
    // the station would end up thinking a present head is gone.
    head.setRestartDelay(0ms);
    std::thread plugger([&] {
        for (int i = 0; i < 200; ++i) {
            bus.unplug(head.path());
            bus.plug(head.path());
        }
    });
    std::thread restarter([&] {
        for (int i = 0; i < 200; ++i) {
            if (std::unique_ptr<HidHandle> handle = bus.open(head.path())) {
                const Report restart = header(0xFD);
                handle->write(restart.data(), restart.size());
            }
        }
    });
    plugger.join();
    restarter.join();
    bus.plug(head.path()); // ends present, whatever restart was last

    const std::vector<EventRecorder::Entry> seen = events.entries();
    ASSERT_FALSE(seen.empty());
    for (std::size_t i = 0; i < seen.size(); ++i)
        ASSERT_EQ(seen[i].event, i % 2 == 0 ? kRemoval : kArrival) << "notification " << i;
    EXPECT_EQ(seen.back().event, kArrival);
}

TEST_F(HeadFaults, DestroyingTheBusDuringARestartIsClean)
{
    auto shortLived = std::make_unique<SimBus>();
    SimHead& other = shortLived->addHead();
    other.setRestartDelay(std::chrono::hours(1));
    Wire otherWire(shortLived->open(other.path()));
    otherWire.send({header(0xFD)});
    shortLived.reset(); // joins the head's thread instead of waiting an hour
    SUCCEED();
}

TEST_F(HeadFaults, NoReplyLetsReadsTimeOut)
{
    head.setNoReply(true);
    EXPECT_TRUE(wire.exchange({header(0x24)}).empty());
    Report r{};
    EXPECT_EQ(wire.handle().read(r.data(), r.size(), 5), 0);

    // The frame was still taken: writes keep working while silent.
    head.setNoReply(false);
    EXPECT_TRUE(wire.exchange({header(0x20), report({9}), dataReport(Payload{1, 2, 3})}).empty());
    EXPECT_EQ(head.block(9)[2], 3);
    EXPECT_EQ(wire.exchange({header(0x24)}).size(), 1U);
}

// One lost reply, picked by command and memory address: only that request goes unanswered, once.
TEST_F(HeadFaults, DropsTheReplyToOneChosenRequestOnly)
{
    const auto readMemory = [](std::uint16_t address) {
        return std::vector<Report>{header(0x23), report({static_cast<std::uint8_t>(address >> 8),
                                                         static_cast<std::uint8_t>(address & 0xFF), 64})};
    };
    head.dropReplyTo(0x23, 640);
    EXPECT_EQ(wire.exchange(readMemory(576)).size(), 1U); // another address
    EXPECT_EQ(wire.exchange({header(0x24)}).size(), 1U);  // another command
    EXPECT_TRUE(wire.exchange(readMemory(640)).empty());  // the chosen one
    EXPECT_EQ(wire.exchange(readMemory(640)).size(), 1U); // and only once

    head.dropReplyTo(0x30); // any address
    EXPECT_TRUE(wire.exchange({readCountsFrame(8)}).empty());
    EXPECT_EQ(wire.exchange({readCountsFrame(8)}).size(), 1U);
}

TEST_F(HeadFaults, LateReplyArrivesOnlyAfterTheDelay)
{
    head.setReplyDelay(100ms);
    ASSERT_TRUE(wire.send({header(0x21), report({254, 0x40})}));
    Report r{};
    EXPECT_EQ(wire.handle().read(r.data(), r.size(), 0), 0); // not yet readable
    EXPECT_EQ(wire.handle().read(r.data(), r.size(), -1), static_cast<int>(r.size()));
    EXPECT_EQ(payloadOf(r), head.block(254));
}

TEST_F(HeadFaults, LateRepliesKeepTheirOrder)
{
    head.setReplyDelay(20ms);
    const Report parameters = report({0x20, 0x00, 0x02, 0x01, 0x01});
    ASSERT_TRUE(wire.send({header(0x24), header(0x1A), parameters}));
    std::vector<Report> replies;
    Report r{};
    while (replies.size() < 3 && wire.handle().read(r.data(), r.size(), 1000) > 0)
        replies.push_back(r);
    ASSERT_EQ(replies.size(), 3U);
    EXPECT_EQ(payloadOf(replies[0]), head.controlBlock());
}

// vanishAfterReports(n): the n-th report is the last one the head takes.
struct VanishCase {
    const char* name;
    int after;
    std::size_t writesAccepted; // of the ReadBlock frame's two reports
};

class HeadVanish : public HeadFaults, public ::testing::WithParamInterface<VanishCase> {};

TEST_P(HeadVanish, LeavesTheBusInTheMiddleOfATransaction)
{
    head.clearReceived();
    head.vanishAfterReports(GetParam().after);
    const std::vector<Report> frame = {header(0x21), report({249, 0x40})};
    std::size_t accepted = 0;
    for (const Report& r : frame)
        accepted += wire.handle().write(r.data(), r.size()) ? 1 : 0;
    EXPECT_EQ(accepted, GetParam().writesAccepted);
    EXPECT_EQ(head.received().size(), GetParam().writesAccepted);

    Report r{};
    EXPECT_EQ(wire.handle().read(r.data(), r.size(), 0), -1);
    EXPECT_EQ(events.waitFor(1), (std::vector<EventRecorder::Entry>{{kRemoval, head.path()}}));
    EXPECT_TRUE(bus.enumerate().empty());

    // It stays away until plugged in again, then answers whole frames.
    bus.plug(head.path());
    Wire again(bus.open(head.path()));
    EXPECT_EQ(again.exchange(frame).size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Points, HeadVanish,
                         ::testing::Values(VanishCase{"AfterHeader", 1, 1}, VanishCase{"AfterFrame", 2, 2}),
                         ByName());

TEST_F(HeadFaults, VanishCountsFromWhenItIsSet)
{
    wire.exchange({header(0x24), header(0x24)});
    head.vanishAfterReports(3);
    EXPECT_EQ(wire.exchange({header(0x24), header(0x24)}).size(), 2U);
    Report r = header(0x24);
    EXPECT_TRUE(wire.handle().write(r.data(), r.size()));
    EXPECT_FALSE(wire.handle().write(r.data(), r.size()));
}

} // namespace
