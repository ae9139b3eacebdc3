// The station's device object talking to the simulated head: both sides agree on every frame
// (including the PatchBlock signature), and the faults show up as failed commands.
#include "EventRecorder.h"
#include "device/CUSBChannel.h"
#include "device/DeviceIds.h"
#include "device/StorageMap.h"
#include "sim/DemoSetup.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace simtest;
using namespace std::chrono_literals;

namespace {

class DeviceOverSim : public ::testing::Test {
protected:
    DeviceOverSim()
    {
        bus.addForeignDevice("/dev/hidraw-kbd", 0x046D, 0xC31C, u"Logi", u"Keyboard");
        bus.addForeignDevice("/dev/hidraw-odd", tester::kVendorId, tester::kProductId, u"SomebodyElse123",
                             u"KestrelProbeV4");
        head = &bus.addHead();
        channel.setReplyTimeout(200ms);
        EXPECT_TRUE(channel.openTester(bus));
    }

    SimBus bus;
    SimHead* head = nullptr;
    CUSBChannel channel;
};

TEST_F(DeviceOverSim, OpensTheHeadAmongOtherDevices)
{
    EXPECT_EQ(channel.devicePath(), head->path());
}

TEST_F(DeviceOverSim, EveryCommandGetsItsReplies)
{
    Payload block{};
    ASSERT_TRUE(channel.readIdentity(block));
    EXPECT_EQ(identityText(block, storage::kIdentityDeviceTypeOffset), "TRIVELLAV2");

    Payload settings{};
    ASSERT_TRUE(channel.ReadBlock(storage::SETTINGS_BLOCK, settings));
    settings[60] = 0x5A;
    ASSERT_TRUE(channel.WriteBlock(storage::SETTINGS_BLOCK, settings));
    EXPECT_EQ(head->block(storage::SETTINGS_BLOCK), settings);

    const std::uint8_t record[26] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                                     14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    ASSERT_TRUE(channel.WriteMemory(storage::boardRecordAddress(15), 26, record));
    std::uint8_t back[26] = {};
    ASSERT_TRUE(channel.ReadMemory(storage::boardRecordAddress(15), 26, back));
    EXPECT_TRUE(std::equal(std::begin(record), std::end(record), std::begin(back)));

    ASSERT_TRUE(channel.setControlByte(storage::kControlBuzzer, 1));
    EXPECT_EQ(head->controlBlock()[storage::kControlBuzzer], 1);

    ASSERT_TRUE(channel.PatchBlock(storage::SETTINGS_BLOCK, 0, 0x40, 0x40));
    EXPECT_EQ(head->block(storage::SETTINGS_BLOCK)[0] & 0x40, 0x40);

    ASSERT_TRUE(channel.ShowText("    ALL PASS    "));
    EXPECT_EQ(head->lcdLine(0), " SENSOR TESTER  ");
    EXPECT_EQ(head->lcdLine(1), "    ALL PASS    ");

    ASSERT_TRUE(channel.SelectPort(demo::kFirstExpansionAddress, 1 << 1));
    ASSERT_TRUE(channel.BusWrite(0x01, 0xFE));
    std::uint8_t high = 0, low = 0;
    ASSERT_TRUE(channel.BusRead(high, low));
    EXPECT_EQ(high << 8 | low, demo::kExpansionFirmware);
    CUSBHardWare::CountsBuffer counts{};
    ASSERT_TRUE(channel.ReadCounts(40, 0x07, 0, counts));
    EXPECT_NEAR(counts[0] | counts[1] << 8, demo::referenceCount(1, 0), demo::kPanelNoise);
    ASSERT_TRUE(channel.SelectPort(demo::kFirstExpansionAddress, 0));

    int status = -1;
    EXPECT_TRUE(channel.QueryStatus(status));
    FirmwareInfo info;
    ASSERT_TRUE(channel.ReadFirmwareInfo(info));
    EXPECT_EQ(info, head->firmwareInfo());
}

TEST_F(DeviceOverSim, RestartIsSeenAsRemovalAndArrival)
{
    EventRecorder events(bus);
    head->setRestartDelay(0ms);
    ASSERT_TRUE(channel.Restart());
    EXPECT_EQ(events.waitFor(2),
              (std::vector<EventRecorder::Entry>{{kRemoval, head->path()}, {kArrival, head->path()}}));
    Payload block{};
    EXPECT_FALSE(channel.ReadBlock(storage::SETTINGS_BLOCK, block)); // the old handle is dead
    ASSERT_TRUE(channel.openTester(bus));
    EXPECT_TRUE(channel.ReadBlock(storage::SETTINGS_BLOCK, block));
}

TEST_F(DeviceOverSim, SilentHeadFailsTheCommand)
{
    head->setNoReply(true);
    Payload control{};
    EXPECT_FALSE(channel.ReadControl(control));
    head->setNoReply(false);
    EXPECT_TRUE(channel.ReadControl(control));
}

TEST_F(DeviceOverSim, LateReplyIsNotTakenForTheNextRequest)
{
    head->setReplyDelay(400ms); // beyond the 200 ms the device object waits
    Payload identity{};
    EXPECT_FALSE(channel.ReadBlock(storage::IDENTITY_BLOCK, identity));
    std::this_thread::sleep_for(500ms); // the late identity block is now waiting
    head->setReplyDelay(0ms);
    Payload settings{};
    ASSERT_TRUE(channel.ReadBlock(storage::SETTINGS_BLOCK, settings));
    EXPECT_EQ(settings, head->block(storage::SETTINGS_BLOCK));
}

TEST_F(DeviceOverSim, VanishingHeadFailsTheTransaction)
{
    head->vanishAfterReports(1);
    Payload block{};
    EXPECT_FALSE(channel.ReadBlock(storage::SETTINGS_BLOCK, block));
    EXPECT_TRUE(bus.enumerate().size() == 2); // the two other devices
}

TEST_F(DeviceOverSim, ConcurrentUsersAndTestControlAreRaceFree)
{
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    auto user = [&](std::uint8_t port) {
        for (int i = 0; i < 30; ++i) {
            std::lock_guard composite(channel.compositeLock);
            CUSBHardWare::CountsBuffer counts{};
            const bool ok =
                channel.SelectPort(demo::kFirstExpansionAddress, static_cast<std::uint8_t>(1 << port)) &&
                channel.ReadCounts(40, 7, 0, counts) && channel.SelectPort(demo::kFirstExpansionAddress, 0);
            failures += ok ? 0 : 1;
        }
    };
    std::thread control([&] {
        while (!stop.load()) {
            head->setZeroCounts(true);
            head->setZeroCounts(false);
            (void)head->received();
            (void)head->memory(0, 64);
            (void)bus.enumerate();
        }
    });
    std::thread first(user, 0);
    std::thread second(user, 1);
    first.join();
    second.join();
    stop = true;
    control.join();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
