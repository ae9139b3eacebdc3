// The link out of step: a reply that comes after its bound must never answer a later request,
// nothing is written to a head whose replies may belong to other requests, and the path of the
// open head is readable while a transaction holds the lock.
#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Names parameterised cases after their `name` field.
struct ByName {
    template <typename Param> std::string operator()(const ::testing::TestParamInfo<Param>& info) const
    {
        return info.param.name;
    }
};

constexpr std::uint8_t kReadBlock = 0x21;
constexpr std::uint8_t kReadControl = 0x24;
constexpr std::uint8_t kWriteBlock = 0x20;

Report identityReply()
{
    return withText(Report{}, 1 + 48, "TRIVELLAV2");
}

Report controlReply()
{
    Report r{};
    for (std::size_t i = 1; i < r.size(); ++i)
        r[i] = 0xC0;
    return r;
}

// A head that answers the identity block and the control block at once, and whatever else the
// test scripts.
struct AnsweringHead : AttachedChannel {
    AnsweringHead()
    {
        state->responder = [](const Report& w) {
            if (w == reportOf({254, 0x40}))
                return std::vector<Report>{identityReply()};
            if (w == reportOf({0xAA, 0x55, kReadControl}))
                return std::vector<Report>{controlReply()};
            return std::vector<Report>{};
        };
    }

    // Index of the first report written at or after `from` whose bytes 1..3 are AA 55 code.
    static bool isHeader(const Report& r, std::uint8_t code)
    {
        return r[1] == 0xAA && r[2] == 0x55 && r[3] == code;
    }
};

struct LateCase {
    const char* name;
    std::chrono::milliseconds lateBy; // after the request; the bound is 100 ms
    friend void PrintTo(const LateCase& c, std::ostream* os) { *os << c.name; }
};

class LateReply : public ::testing::TestWithParam<LateCase> {};

TEST_P(LateReply, IsNeverTakenAsTheNextRequestsReply)
{
    AnsweringHead head;
    Report late{};
    late[1] = 0xBA;
    late[2] = 0xD0;
    head.queueReply(late, GetParam().lateBy); // the reply to the block read below, too late
    Payload block{};
    EXPECT_FALSE(head.channel.ReadBlock(249, block));

    // The next request is written before the late reply arrives.
    Payload control{};
    const bool received = head.channel.ReadControl(control);
    EXPECT_NE(control[0], 0xBA) << "the late reply of the block read answered the control read";
    if (received) {
        EXPECT_EQ(control[0], 0xC0);
    }

    // Once the line is quiet again the link is back in step.
    std::this_thread::sleep_for(GetParam().lateBy);
    ASSERT_TRUE(head.channel.ReadControl(control));
    EXPECT_EQ(control[0], 0xC0);
}

INSTANTIATE_TEST_SUITE_P(Link, LateReply,
                         ::testing::Values(LateCase{"ArrivesWhileTheNextRequestWaits", 130ms},
                                           LateCase{"ArrivesAfterTheNextRequestGaveUp", 250ms},
                                           LateCase{"ArrivesMuchLater", 400ms}),
                         ByName());

TEST(OutOfStep, NothingIsWrittenToAHeadThatStoppedAnswering)
{
    AttachedChannel head; // answers nothing
    Payload block{};
    EXPECT_FALSE(head.channel.ReadBlock(249, block));
    const std::size_t before = head.written().size();

    Payload data{};
    data.fill(0x42);
    EXPECT_FALSE(head.channel.WriteBlock(249, data));
    EXPECT_FALSE(head.channel.setControlByte(8, 1));
    EXPECT_FALSE(head.channel.SelectPort(32, 1));

    const auto written = head.written();
    for (std::size_t i = before; i < written.size(); ++i) {
        const Report& r = written[i];
        const bool identityRequest = AnsweringHead::isHeader(r, kReadBlock) || r == reportOf({254, 0x40});
        EXPECT_TRUE(identityRequest) << "report " << i << " was written while the link was out of step";
    }
}

TEST(OutOfStep, TheLinkComesBackInStepOnlyWithTheKnownIdentity)
{
    AnsweringHead head;
    Payload identity{};
    ASSERT_TRUE(head.channel.readIdentity(identity)); // read at connection: the known answer

    Payload block{};
    {
        std::lock_guard lock(head.state->mutex);
        head.state->responder = nullptr; // silent for a while
    }
    EXPECT_FALSE(head.channel.ReadBlock(249, block));

    // A head that answers the identity read with other bytes is not in step.
    {
        std::lock_guard lock(head.state->mutex);
        head.state->responder = [](const Report& w) {
            if (w == reportOf({254, 0x40}))
                return std::vector<Report>{reportOf({0x11})};
            return std::vector<Report>{};
        };
    }
    Payload data{};
    EXPECT_FALSE(head.channel.WriteBlock(9, data));
    for (const Report& r : head.written())
        EXPECT_FALSE(AnsweringHead::isHeader(r, kWriteBlock));

    {
        std::lock_guard lock(head.state->mutex);
        head.state->responder = [](const Report& w) {
            if (w == reportOf({254, 0x40}))
                return std::vector<Report>{identityReply()};
            return std::vector<Report>{};
        };
    }
    EXPECT_TRUE(head.channel.WriteBlock(9, data));
    const auto written = head.written();
    EXPECT_TRUE(AnsweringHead::isHeader(written[written.size() - 3], kWriteBlock));
}

TEST(Cancel, EndsTheWaitForAReplyAndWritesNothingMore)
{
    AttachedChannel head; // answers nothing
    head.channel.setReplyTimeout(std::chrono::minutes(10));
    std::atomic<bool> cancelled{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(100ms);
        cancelled = true;
    });
    bool read = true;
    std::size_t writtenAfter = 0;
    {
        CUSBChannel::CancelScope scope([&] { return cancelled.load(); });
        Payload block{};
        read = head.channel.ReadBlock(249, block); // would wait ten minutes
        const std::size_t before = head.written().size();
        head.channel.SelectPort(32, 1);
        head.channel.setControlByte(8, 0);
        writtenAfter = head.written().size() - before;
    }
    canceller.join();
    EXPECT_FALSE(read);
    EXPECT_EQ(writtenAfter, 0U) << "a cancelled worker went on writing to the head";

    // Outside the scope the thread talks to the head again (once it answers).
    head.channel.setReplyTimeout(100ms);
    head.state->responder = [](const Report& w) {
        return w == reportOf({254, 0x40}) ? std::vector<Report>{identityReply()} : std::vector<Report>{};
    };
    EXPECT_TRUE(head.channel.SelectPort(32, 1));
}

TEST(HeadPath, IsReadWithoutWaitingForATransaction)
{
    AttachedChannel head;
    std::promise<void> locked;
    std::promise<void> release;
    std::thread holder([&] {
        std::lock_guard lock(head.channel.transactionLock);
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();

    auto path = std::async(std::launch::async, [&] { return head.channel.devicePath(); });
    const bool prompt = path.wait_for(500ms) == std::future_status::ready;
    release.set_value();
    holder.join();
    EXPECT_TRUE(prompt) << "devicePath waited for the transaction lock";
    EXPECT_EQ(path.get(), "/dev/hidraw0");
}

} // namespace
