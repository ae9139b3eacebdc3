// The device object: control block changes, identity block, storage map, handle replacement.
#include "DeviceTestSupport.h"
#include "device/StorageMap.h"

#include <gtest/gtest.h>

namespace {

TEST(SetControlByte, ChangesOneByteAndWritesTheRestAsRead)
{
    AttachedChannel head;
    Report control{};
    for (std::size_t i = 1; i < control.size(); ++i)
        control[i] = static_cast<std::uint8_t>(0x80 + i);
    head.state->responder = [control](const Report& w) {
        if (w == reportOf({0xAA, 0x55, 0x24}))
            return std::vector<Report>{control};
        if (w == reportOf({0xAA, 0x55, 0x25}))
            return std::vector<Report>{reportOf({0})}; // WriteControl's own reply
        return std::vector<Report>{};
    };

    EXPECT_TRUE(head.channel.setControlByte(8, 0));

    std::lock_guard lock(head.state->mutex);
    const auto& w = head.state->written;
    ASSERT_EQ(w.size(), 3U);
    EXPECT_EQ(w[0].report, reportOf({0xAA, 0x55, 0x24}));
    EXPECT_EQ(w[1].report, reportOf({0xAA, 0x55, 0x25}));
    Report expected = control;
    expected[1 + 8] = 0;
    EXPECT_EQ(w[2].report, expected);
    EXPECT_GE(w[1].at - w[0].at, std::chrono::milliseconds(10));
}

TEST(SetControlByte, WritesNothingWhenTheControlBlockCouldNotBeRead)
{
    AttachedChannel head; // no reply queued: the read times out
    EXPECT_FALSE(head.channel.setControlByte(6, 1));
    EXPECT_EQ(head.written().size(), 1U) << "only the ReadControl request may have been sent";
}

TEST(Identity, EmptyBrandCodeReadsAsEmptyText)
{
    AttachedChannel head;
    head.queueReply(withText(Report{}, 1 + 48, "trivellav2"));
    Payload block{};
    ASSERT_TRUE(head.channel.readIdentity(block));
    EXPECT_EQ(head.written()[1], reportOf({254, 0x40}));
    EXPECT_EQ(identityText(block, storage::kIdentityBrandOffset), "");
    EXPECT_EQ(identityText(block, storage::kIdentityDeviceTypeOffset), "trivellav2");
}

TEST(Identity, TextIsCutAtSixteenCharacters)
{
    Payload block{};
    block.fill('A');
    EXPECT_EQ(identityText(block, storage::kIdentityDeviceTypeOffset), std::string(16, 'A'));
}

TEST(StorageMap, BoardRegionAddresses)
{
    struct Case {
        int board;
        std::uint16_t region, reference, high, low, mask, order, record;
    };
    for (const Case& c : {Case{0, 256, 256, 384, 512, 640, 704, 768},
                          Case{1, 896, 896, 1024, 1152, 1280, 1344, 1408},
                          Case{15, 9856, 9856, 9984, 10112, 10240, 10304, 10368},
                          Case{63, 40576, 40576, 40704, 40832, 40960, 41024, 41088}}) {
        EXPECT_EQ(storage::boardRegionAddress(c.board), c.region);
        EXPECT_EQ(storage::referenceAddress(c.board), c.reference);
        EXPECT_EQ(storage::thresholdHighAddress(c.board), c.high);
        EXPECT_EQ(storage::thresholdLowAddress(c.board), c.low);
        EXPECT_EQ(storage::maskAddress(c.board), c.mask);
        EXPECT_EQ(storage::orderAddress(c.board), c.order);
        EXPECT_EQ(storage::boardRecordAddress(c.board), c.record);
    }
    EXPECT_EQ(storage::boardTableEntryAddress(3), 12);
}

TEST(Handle, ANewOpenClosesTheReplacedHandle)
{
    AttachedChannel head;
    std::weak_ptr<FakeHandle::State> firstState = head.state;
    EXPECT_EQ(head.channel.devicePath(), "/dev/hidraw0");
    head.bus.devices.clear();
    head.bus.add({"/dev/hidraw5", tester::kVendorId, tester::kProductId, u"KestrelTestWork", u"KestrelProbeV4"});
    head.state.reset();
    EXPECT_TRUE(head.channel.openTester(head.bus));
    EXPECT_EQ(head.channel.devicePath(), "/dev/hidraw5");
    EXPECT_TRUE(firstState.expired()) << "the old handle was not closed";
}

TEST(Handle, NoHeadFoundKeepsTheOpenHandle)
{
    AttachedChannel head;
    head.bus.devices.clear();
    EXPECT_FALSE(head.channel.openTester(head.bus));
    EXPECT_EQ(head.channel.devicePath(), "/dev/hidraw0");
}

} // namespace
