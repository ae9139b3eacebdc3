// The setup operations against a head that keeps its storage: the frames they send, where the
// pauses fall, and what the head holds afterwards.
#include "MemoryHead.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Frames = std::vector<std::string>;

class HeadOperationsTest : public testing::Test, protected HeadFixture {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 64; ++i)
            head.blocks[storage::SETTINGS_BLOCK][static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(0x80 + i);
        for (std::size_t a = 0; a < head.memory.size(); ++a)
            head.memory[a] = static_cast<std::uint8_t>(a * 7 + 3);
    }
    std::string addr(int a, int len) { return "r" + std::to_string(a) + "/" + std::to_string(len); }
    std::string waddr(int a, int len) { return "w" + std::to_string(a) + "/" + std::to_string(len); }
};

TEST_F(HeadOperationsTest, ChangingBuzzerEnableKeepsBytes56To63AsTheHeadReturnedThem)
{
    Payload before = head.blocks[storage::SETTINGS_BLOCK];
    ASSERT_TRUE(ops.changeGlobalSettings(
        [](GlobalSettings& g) { g.setOutput(GlobalSettings::BuzzerEnable, false); }));
    EXPECT_EQ(head.frames(), (Frames{"R249", "R249", "W249"}));

    const Payload& after = head.blocks[storage::SETTINGS_BLOCK];
    EXPECT_EQ(after[0], before[0] & ~GlobalSettings::BuzzerEnable);
    before[0] = after[0];
    EXPECT_EQ(after, before) << "every other byte, 56..63 included, as read";
    EXPECT_EQ(setup.global().encode()[0], after[0]) << "the image is what was written";
}

TEST_F(HeadOperationsTest, ChangeWithoutRefreshStartsFromTheImage)
{
    GlobalSettings image = setup.global();
    image.percentage = 1234;
    setup.setGlobal(image);
    ASSERT_TRUE(ops.changeGlobalSettings([](GlobalSettings& g) { g.excessIndication = 1; },
                                         HeadOperations::Refresh::No));
    EXPECT_EQ(head.frames(), (Frames{"R249", "W249"}));
    const GlobalSettings stored = GlobalSettings::decode(std::span<const std::uint8_t, 64>(head.blocks[249]));
    EXPECT_EQ(stored.percentage, 1234);
    EXPECT_EQ(stored.excessIndication, 1);
    EXPECT_EQ(head.blocks[249][60], 0x80 + 60);
}

TEST_F(HeadOperationsTest, ASilentHeadIsNeverWrittenWithAStaleReply)
{
    ASSERT_TRUE(ops.readGlobalSettings());
    head.silent = true;
    head.takeLog();
    EXPECT_FALSE(ops.changeGlobalSettings([](GlobalSettings& g) { g.excessIndication = 0; }));
    EXPECT_FALSE(ops.writeGlobalSettings());
    EXPECT_FALSE(ops.updateBoardTableEntry(3, 1, 1, 0, 0, 8));
    EXPECT_FALSE(ops.changeBoardRecord(2, [](BoardRecord& r) { r.userGain = 1; }));
    EXPECT_FALSE(ops.writeBoardOrder(2, true, identityOrder()));
    for (const std::string& f : head.frames())
        EXPECT_TRUE(f[0] != 'W' && f.rfind("w0/", 0) != 0 && f != waddr(storage::boardRecordAddress(2), 26))
            << f;
}

TEST_F(HeadOperationsTest, UpdatingEntry3LeavesEveryOtherEntryAsJustRead)
{
    const auto tableBefore = std::vector<std::uint8_t>(head.memory.begin(), head.memory.begin() + 256);
    ASSERT_TRUE(ops.updateBoardTableEntry(3, 2, 1, 5, 6, 40));
    EXPECT_EQ(head.frames(), (Frames{"pause", "r0/64", "r64/64", "r128/64", "r192/64", "pause", "w0/64",
                                     "w64/64", "w128/64", "w192/64"}));
    for (int a = 0; a < 256; ++a) {
        if (a >= 12 && a < 16)
            continue;
        ASSERT_EQ(head.memory[static_cast<std::size_t>(a)], tableBefore[static_cast<std::size_t>(a)]) << a;
    }
    EXPECT_EQ(head.memory[12], 0x12); // column 1, row 2
    EXPECT_EQ(head.memory[13], 40);
    EXPECT_EQ(head.memory[14], 5);
    EXPECT_EQ(head.memory[15], 6);
    EXPECT_EQ(setup.boardTableEntry(3), (BoardTableEntry{0x12, 40, 5, 6}));
}

TEST_F(HeadOperationsTest, ArraysMoveInTheirTransfersAtTheRegionAddresses)
{
    ChannelValues values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint16_t>(1000 + i);
    ASSERT_TRUE(ops.writeBoardArray(15, BoardArray::Reference, values));
    ASSERT_TRUE(ops.writeBoardArray(15, BoardArray::Mask, values));
    EXPECT_EQ(head.frames(),
              (Frames{"pause", waddr(9856, 64), waddr(9920, 64), "pause", waddr(9856 + 384, 64)}));
    EXPECT_EQ(head.memory[9856], 1000 & 0xFF);
    EXPECT_EQ(head.memory[9857], 1000 >> 8);
    EXPECT_EQ(head.memory[9856 + 126], (1063) & 0xFF);
    EXPECT_EQ(head.memory[9856 + 384 + 1], (1001) & 0xFF) << "mask entries cut to 8 bits";

    ChannelValues back{};
    ASSERT_TRUE(ops.readBoardArray(15, BoardArray::Reference, back));
    EXPECT_EQ(back, values);
    ASSERT_TRUE(ops.readBoardArray(15, BoardArray::ThresholdLow, back));
    EXPECT_EQ(head.frames(), (Frames{"pause", addr(9856, 64), addr(9920, 64), "pause", addr(9856 + 256, 64),
                                     addr(9856 + 320, 64)}));
}

TEST_F(HeadOperationsTest, RecordReadChangeWriteKeepsReservedBytesAndBits)
{
    const int k = 5;
    const auto at = storage::boardRecordAddress(k);
    const std::vector<std::uint8_t> before(head.memory.begin() + at, head.memory.begin() + at + 26);
    ASSERT_TRUE(ops.changeBoardRecord(k, [](BoardRecord& r) {
        r.setFlag(BoardRecord::PearsonEnable, !r.pearsonEnable());
        r.userGain = 3;
    }));
    EXPECT_EQ(head.frames(), (Frames{"pause", addr(at, 26), "pause", waddr(at, 26)}));
    EXPECT_EQ(head.memory[at], before[0] ^ BoardRecord::PearsonEnable);
    EXPECT_EQ(head.memory[at + 22], 3);
    for (int i = 1; i < 26; ++i) {
        if (i != 22) {
            EXPECT_EQ(head.memory[static_cast<std::size_t>(at + i)], before[static_cast<std::size_t>(i)])
                << i;
        }
    }
    EXPECT_EQ(setup.workRecord().userGain, 3);
}

TEST_F(HeadOperationsTest, OrderOfABoardWithoutCustomOrderIsTheIdentityWithoutReadingTheRegion)
{
    const int k = 2;
    head.memory[storage::boardRecordAddress(k)] = 0xF8; // reserved bits set, orderEnable clear
    const HeadOperations::BoardOrder order = ops.readBoardOrder(k);
    EXPECT_TRUE(order.ok);
    EXPECT_FALSE(order.orderEnable);
    EXPECT_EQ(order.order, identityOrder());
    EXPECT_EQ(head.frames(), (Frames{"pause", addr(storage::boardRecordAddress(k), 26)}));

    head.memory[storage::boardRecordAddress(k)] = BoardRecord::OrderEnable;
    const HeadOperations::BoardOrder custom = ops.readBoardOrder(k);
    EXPECT_TRUE(custom.orderEnable);
    EXPECT_EQ(custom.order[0], head.memory[storage::orderAddress(k)]);
    EXPECT_EQ(head.frames(), (Frames{"pause", addr(storage::boardRecordAddress(k), 26), "pause",
                                     addr(storage::orderAddress(k), 64)}));
}

TEST_F(HeadOperationsTest, WritingTheOrderSetsOnlyTheOrderEnableBit)
{
    const int k = 7;
    const auto at = storage::boardRecordAddress(k);
    head.memory[at] = 0xF8 | BoardRecord::PercentMode;
    ChannelBytes order{};
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint8_t>(63 - i);
    ASSERT_TRUE(ops.writeBoardOrder(k, true, order));
    EXPECT_EQ(head.frames(), (Frames{"pause", waddr(storage::orderAddress(k), 64), "pause", addr(at, 26),
                                     "pause", waddr(at, 26)}));
    EXPECT_EQ(head.memory[at], 0xF8 | BoardRecord::PercentMode | BoardRecord::OrderEnable);
    EXPECT_EQ(head.memory[storage::orderAddress(k)], 63);
}

TEST_F(HeadOperationsTest, DeviceTypeIsTheIdentityTextUpToItsFirstNul)
{
    head.setDeviceType("TrivellaV2");
    EXPECT_EQ(ops.readDeviceType(), "TrivellaV2");
    head.setDeviceType("ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(ops.readDeviceType(), "ABCDEFGHIJKLMNOP");
    head.silent = true;
    EXPECT_EQ(ops.readDeviceType(), std::nullopt);
}

// Two threads change fields of two boards' records and of the global settings at once. With the
// lock held from each read to its write, no change is lost and no board's record is written
// into the other's.
TEST_F(HeadOperationsTest, ConcurrentReadModifyWritesLoseNothing)
{
    for (int k : {0, 1}) {
        BoardRecord r;
        r.viewRangeMax = 0;
        r.viewRangeMin = static_cast<std::uint16_t>(100 + k);
        const auto bytes = r.encode();
        std::copy(bytes.begin(), bytes.end(), head.memory.begin() + storage::boardRecordAddress(k));
    }
    head.blocks[249][9] = 0;
    head.blocks[249][10] = 0;
    constexpr int kRounds = 100;
    auto worker = [&](int k) {
        for (int i = 0; i < kRounds; ++i) {
            ops.changeBoardRecord(k, [](BoardRecord& r) { ++r.viewRangeMax; });
            ops.changeGlobalSettings([](GlobalSettings& g) { ++g.percentage; });
            if (i % 10 == 0)
                head.takeLog();
        }
    };
    std::thread a(worker, 0), b(worker, 1);
    a.join();
    b.join();
    for (int k : {0, 1}) {
        const auto at = storage::boardRecordAddress(k);
        const BoardRecord r =
            BoardRecord::decode(std::span<const std::uint8_t, 26>(head.memory.data() + at, 26));
        EXPECT_EQ(r.viewRangeMax, kRounds) << "board " << k;
        EXPECT_EQ(r.viewRangeMin, 100 + k) << "board " << k;
    }
    EXPECT_EQ(GlobalSettings::decode(std::span<const std::uint8_t, 64>(head.blocks[249])).percentage,
              2 * kRounds);
}

} // namespace
