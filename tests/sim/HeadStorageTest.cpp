// What the head keeps: configuration blocks, parameter memory, control block, LCD lines and
// firmware record, written and read back through raw frames and through the head's own API.
#include "SimWire.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace simtest;

namespace {

class HeadStorage : public ::testing::Test {
protected:
    HeadStorage() { head.clearSetup(); }

    static Payload pattern(std::uint8_t start)
    {
        Payload p{};
        std::iota(p.begin(), p.end(), start);
        return p;
    }

    SimBus bus;
    SimHead& head = bus.addHead();
    Wire wire{bus.open(head.path())};
};

TEST_F(HeadStorage, BlockRoundTrip)
{
    wire.exchange({header(0x20), report({249}), dataReport(pattern(1))});
    EXPECT_EQ(head.block(249), pattern(1));

    head.setBlock(254, pattern(100));
    const std::vector<Report> replies = wire.exchange({header(0x21), report({254, 0x40})});
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(payloadOf(replies[0]), pattern(100));
}

TEST_F(HeadStorage, WriteMemoryStoresOnlyLengthBytes)
{
    const Payload bytes = pattern(1);
    // Address 0x2880 (10368, the record of board 15), 26 bytes; the data report is full.
    wire.exchange({header(0x22), report({0x28, 0x80, 26}), dataReport(bytes)});
    const std::vector<std::uint8_t> stored = head.memory(0x2880, 64);
    EXPECT_TRUE(std::equal(stored.begin(), stored.begin() + 26, bytes.begin()));
    EXPECT_TRUE(std::all_of(stored.begin() + 26, stored.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(HeadStorage, ReadMemoryAnswersLengthBytesAndZerosAfter)
{
    const Payload bytes = pattern(50);
    head.setMemory(0x0100, bytes.data(), 64);
    const std::vector<Report> replies = wire.exchange({header(0x23), report({0x01, 0x00, 26})});
    ASSERT_EQ(replies.size(), 1U);
    const Payload payload = payloadOf(replies[0]);
    EXPECT_TRUE(std::equal(payload.begin(), payload.begin() + 26, bytes.begin()));
    EXPECT_TRUE(std::all_of(payload.begin() + 26, payload.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(HeadStorage, MemoryTransfersStopAtTheEndOfMemory)
{
    wire.exchange({header(0x22), report({0xFF, 0xF0, 64}), dataReport(pattern(1))});
    EXPECT_EQ(head.memory(0xFFF0, 64).size(), 16U);
    EXPECT_EQ(head.memory(0xFFF0, 16).back(), 16);
    const std::vector<Report> replies = wire.exchange({header(0x23), report({0xFF, 0xF0, 64})});
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(replies[0][16], 16);
    EXPECT_EQ(replies[0][17], 0);
}

TEST_F(HeadStorage, ControlBlockRoundTrip)
{
    const std::vector<Report> echo = wire.exchange({header(0x25), dataReport(pattern(3))});
    EXPECT_EQ(echo.size(), 1U);
    EXPECT_EQ(head.controlBlock(), pattern(3));

    head.setControlBlock(pattern(9));
    const std::vector<Report> replies = wire.exchange({header(0x24)});
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(payloadOf(replies[0]), pattern(9));
}

TEST_F(HeadStorage, ShowTextSetsBothLcdLines)
{
    Report text = report({0xAA, 0x55, 0xB0});
    const std::string first = " SENSOR TESTER  ";
    const std::string second = "ALL";
    std::copy(first.begin(), first.end(), text.begin() + 9);
    std::copy(second.begin(), second.end(), text.begin() + 26);
    wire.exchange({text});
    EXPECT_EQ(head.lcdLine(0), first);
    EXPECT_EQ(head.lcdLine(1), "ALL");
    EXPECT_EQ(head.lcdLine(2), "");
}

TEST_F(HeadStorage, FirmwareInfoIsTheFirst41PayloadBytes)
{
    head.setFirmwareVersion(0x0056);
    head.setHardwareKind(false);
    const std::vector<Report> replies = wire.exchange({header(0xFF)});
    ASSERT_EQ(replies.size(), 1U);
    FirmwareInfo info;
    std::copy_n(replies[0].begin() + 1, FirmwareInfo::kSize, info.bytes.begin());
    EXPECT_EQ(info, head.firmwareInfo());
    EXPECT_EQ(info.version(), 0x0056);
    EXPECT_FALSE(info.isHardwareType());
}

TEST(HeadFirmware, DefaultIsAPlausibleHardwareRecord)
{
    SimBus bus;
    const FirmwareInfo info = bus.addHead().firmwareInfo();
    EXPECT_TRUE(info.isHardwareType());
    EXPECT_EQ(info.version(), 0x0110);
    EXPECT_GE(info.buildYear(), 2000);
    EXPECT_GE(info.buildMonth(), 1);
    EXPECT_LE(info.buildMonth(), 12);
    EXPECT_GE(info.buildDay(), 1);
    EXPECT_NE(info.bootloaderVersion(), 0);
}

// PatchBlock changes the masked bits of one block byte, and only with the right signature.
struct PatchCase {
    const char* name;
    std::string signature;
    std::uint8_t offset;
    std::uint8_t value;
    std::uint8_t mask;
    std::uint8_t expected; // byte `offset` of block 249 afterwards, starting from 0b0101'0101
};

class HeadPatchBlock : public ::testing::TestWithParam<PatchCase> {};

TEST_P(HeadPatchBlock, AppliesOnlyWithTheSignature)
{
    SimBus bus;
    SimHead& head = bus.addHead();
    Payload block{};
    block.fill(0x55);
    head.setBlock(249, block);
    Wire wire(bus.open(head.path()));

    const PatchCase& c = GetParam();
    EXPECT_TRUE(wire.exchange({patchBlockFrame(249, c.offset, c.value, c.mask, c.signature)}).empty());

    Payload expected = block;
    if (c.offset < expected.size())
        expected[c.offset] = c.expected;
    EXPECT_EQ(head.block(249), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, HeadPatchBlock,
    ::testing::Values(
        PatchCase{"SetBit1", CUSBHardWare::patchSignature(), 0, 0x02, 0x02, 0x57},
        PatchCase{"ClearBit0", CUSBHardWare::patchSignature(), 0, 0x00, 0x01, 0x54},
        PatchCase{"ValueOutsideMaskIgnored", CUSBHardWare::patchSignature(), 3, 0xFF, 0x08, 0x5D},
        PatchCase{"OffsetPastBlockIgnored", CUSBHardWare::patchSignature(), 64, 0xFF, 0xFF, 0x55},
        PatchCase{"WrongDigits", "KT20160519", 0, 0x02, 0x02, 0x55},
        PatchCase{"WrongLetters", "XY20160518", 0, 0x02, 0x02, 0x55},
        PatchCase{"NoSignature", "", 0, 0x02, 0x02, 0x55}),
    ByName());

TEST(HeadPatchSignature, IsTwoLettersAndEightDigits)
{
    const std::string signature = CUSBHardWare::patchSignature();
    ASSERT_EQ(signature.size(), 10U);
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(signature[0])));
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(signature[1])));
    EXPECT_TRUE(std::all_of(signature.begin() + 2, signature.end(),
                            [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }));
}

} // namespace
