// Transactions against a head that is silent, late or shared by several threads.
#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(Transaction, SilentHeadGivesUpAndReleasesBothLocks)
{
    AttachedChannel head; // nothing queued: the head never answers
    Payload block{};
    EXPECT_FALSE(head.channel.ReadBlock(249, block));

    bool free = false;
    std::thread other([&] {
        std::unique_lock composite(head.channel.compositeLock, std::try_to_lock);
        std::unique_lock transaction(head.channel.transactionLock, std::try_to_lock);
        free = composite.owns_lock() && transaction.owns_lock();
    });
    other.join();
    EXPECT_TRUE(free);
}

TEST(Transaction, AMissingReplyStopsWaitingForTheRest)
{
    AttachedChannel head;
    CUSBHardWare::CountsBuffer counts{};
    EXPECT_FALSE(head.channel.ReadCounts(64, 0, 0, counts));
    EXPECT_EQ(head.reads(), 1) << "the second reply of a failed transaction was still waited for";
}

TEST(Transaction, LateReplyIsDiscardedNotTakenForTheNextRequest)
{
    AttachedChannel head;
    head.queueReply(reportOf({0xBA, 0xD0}), 150ms); // arrives after the 100 ms bound
    Payload block{};
    EXPECT_FALSE(head.channel.ReadBlock(249, block));
    std::this_thread::sleep_for(100ms); // the late reply is now waiting in the input queue

    // The link re-synchronises on the identity block before the next request is written.
    head.state->responder = [](const Report& w) {
        if (w == reportOf({254, 0x40}))
            return std::vector<Report>{withText(Report{}, 1 + 48, "TRIVELLAV2")};
        if (w == reportOf({249, 0x40}))
            return std::vector<Report>{reportOf({0x60, 0x0D})};
        return std::vector<Report>{};
    };
    ASSERT_TRUE(head.channel.ReadBlock(249, block));
    EXPECT_EQ(block[0], 0x60);
    EXPECT_EQ(block[1], 0x0D);
}

TEST(Transaction, FailedReadLeavesThePreviousReplyInTheOutput)
{
    AttachedChannel head;
    head.queueReply(reportOf({1, 2, 3}));
    Payload first{};
    ASSERT_TRUE(head.channel.ReadControl(first));
    Payload second{};
    EXPECT_FALSE(head.channel.ReadBlock(249, second));
    EXPECT_EQ(second, first) << "a failed read hands back the previous reply, and says so by its result";
}

TEST(Transaction, WithoutAHandleEveryCommandFailsAtOnce)
{
    CUSBChannel channel;
    channel.setReplyTimeout(std::chrono::minutes(10)); // would hang the test if it were waited for
    Payload block{};
    EXPECT_FALSE(channel.ReadBlock(249, block));
    EXPECT_FALSE(channel.setControlByte(8, 0));
    EXPECT_FALSE(channel.ShowText("     CLOSED     "));
    FirmwareInfo info;
    EXPECT_FALSE(channel.ReadFirmwareInfo(info));
    EXPECT_FALSE(channel.hasDevice());
}

TEST(Transaction, TwoThreadsNeverInterleaveInsideOneRequest)
{
    AttachedChannel head;
    Payload data{};
    data.fill(0x42);
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i)
            head.channel.WriteBlock(249, data);
    });
    std::thread texter([&] {
        for (int i = 0; i < 200; ++i)
            head.channel.SelectPort(32, 1);
    });
    writer.join();
    texter.join();

    const auto written = head.written();
    ASSERT_EQ(written.size(), 200U * 3 + 200U);
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (written[i][3] == 0x20) {
            ASSERT_LT(i + 2, written.size());
            EXPECT_EQ(written[i + 1], reportOf({249}));
            EXPECT_EQ(written[i + 2][1], 0x42);
            i += 2;
        } else {
            EXPECT_EQ(written[i], reportOf({0xAA, 0x55, 0x50, 32, 1})) << "report " << i;
        }
    }
}

} // namespace
