// The setup hash as the station takes it: read from a (simulated) head for a run.
#include "HeadOperations.h"
#include "SetupHash.h"
#include "TestSetup.h"
#include "device/CUSBChannel.h"
#include "sim/SimBus.h"
#include "sim/SimHead.h"

#include <gtest/gtest.h>

namespace {

// One station: its own bus, head, device and setup images.
struct Station {
    Station()
    {
        head.loadDemoSetup(2, 2, 40);
        ops.setPause([](std::chrono::milliseconds) {});
        opened = device.openTester(bus);
    }
    std::string hash()
    {
        const auto image = readSetupImage(ops);
        return image ? setupHash(*image) : std::string();
    }

    SimBus bus;
    SimHead& head = bus.addHead();
    CUSBChannel device;
    TestSetup setup;
    HeadOperations ops{device, setup};
    bool opened = false;
};

TEST(SetupHashOfAHead, IsTheSameForTheSameSetupOnTwoStationsAndChangesWithOneThreshold)
{
    Station first;
    Station second;
    ASSERT_TRUE(first.opened);
    ASSERT_TRUE(second.opened);
    const auto hash = first.hash();
    ASSERT_EQ(hash.size(), 64U);
    EXPECT_EQ(first.hash(), hash) << "read again";
    EXPECT_EQ(second.hash(), hash) << "another station, the same setup";

    ChannelValues high{};
    ASSERT_TRUE(second.ops.readBoardArray(3, BoardArray::ThresholdHigh, high));
    high[13] = static_cast<std::uint16_t>(high[13] + 1);
    ASSERT_TRUE(second.ops.writeBoardArray(3, BoardArray::ThresholdHigh, high));
    EXPECT_NE(second.hash(), hash);

    high[13] = static_cast<std::uint16_t>(high[13] - 1);
    ASSERT_TRUE(second.ops.writeBoardArray(3, BoardArray::ThresholdHigh, high));
    EXPECT_EQ(second.hash(), hash) << "set back, the hash is the old one";
}

TEST(SetupHashOfAHead, IsNotGivenForAHalfReadSetup)
{
    Station station;
    ASSERT_TRUE(station.opened);
    station.head.unplug();
    EXPECT_FALSE(readSetupImage(station.ops).has_value());
}

} // namespace
