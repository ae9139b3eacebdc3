// Expansion boards, port selection and raw counts from the panel model.
#include "SimWire.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace simtest;

namespace {

constexpr std::uint8_t kBoardA = 0x21;
constexpr std::uint8_t kBoardB = 0x30;

class HeadCounts : public ::testing::Test {
protected:
    HeadCounts()
    {
        head.clearSetup();
        head.setExpansionBoard(0, kBoardA, 0x0108);
        head.setExpansionBoard(5, kBoardB, 0x0203);
        head.setPanel(kBoardA, 2, bases(40, 1000), 3);
        head.setPanel(kBoardB, 7, bases(64, 3000), 0);
    }

    static std::vector<std::uint16_t> bases(int channels, int start)
    {
        std::vector<std::uint16_t> b(channels);
        for (int i = 0; i < channels; ++i)
            b[i] = static_cast<std::uint16_t>(start + 10 * i);
        return b;
    }

    // Counts of channels 0..n-1 on the selected port, from the concatenated replies.
    std::vector<int> readCounts(std::uint8_t n)
    {
        const std::vector<Report> replies = wire.exchange({readCountsFrame(n)});
        EXPECT_EQ(replies.size(), static_cast<std::size_t>(CUSBHardWare::countReports(n)));
        std::vector<int> counts;
        for (int i = 0; i < n && i / 32 < static_cast<int>(replies.size()); ++i) {
            const Report& r = replies[i / 32];
            const int at = 1 + 2 * (i % 32);
            counts.push_back(r[at] | (r[at + 1] << 8));
        }
        return counts;
    }

    std::uint16_t firmwareVersion()
    {
        const Report parameters = report({0x20, 0x00, 0x02, 0x01, 0x01});
        wire.exchange({header(0x1B), parameters, report({0x01, 0xFE})});
        const std::vector<Report> replies = wire.exchange({header(0x1A), parameters});
        EXPECT_EQ(replies.size(), 2U);
        return replies.empty() ? 0 : static_cast<std::uint16_t>(replies[0][1] << 8 | replies[0][2]);
    }

    SimBus bus;
    SimHead& head = bus.addHead();
    Wire wire{bus.open(head.path())};
};

TEST_F(HeadCounts, SelectedPortReadsItsPanelWithinTheNoise)
{
    wire.exchange({selectPortFrame(kBoardA, 1 << 2)});
    const std::vector<int> counts = readCounts(40);
    ASSERT_EQ(counts.size(), 40U);
    for (int i = 0; i < 40; ++i)
        EXPECT_LE(std::abs(counts[i] - (1000 + 10 * i)), 3) << "channel " << i;

    wire.exchange({selectPortFrame(kBoardB, 1 << 7)});
    const std::vector<int> exact = readCounts(64);
    ASSERT_EQ(exact.size(), 64U);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(exact[i], 3000 + 10 * i) << "channel " << i; // noise 0
}

TEST_F(HeadCounts, ChannelsPastThePanelReadZero)
{
    wire.exchange({selectPortFrame(kBoardA, 1 << 2)});
    const std::vector<int> counts = readCounts(64);
    ASSERT_EQ(counts.size(), 64U);
    EXPECT_NE(counts[39], 0);
    for (int i = 40; i < 64; ++i)
        EXPECT_EQ(counts[i], 0) << "channel " << i;
}

TEST_F(HeadCounts, DefectiveChannelReadsItsFixedCount)
{
    head.setChannelDefect(kBoardB, 7, 33, 17);
    wire.exchange({selectPortFrame(kBoardB, 1 << 7)});
    const std::vector<int> counts = readCounts(64);
    ASSERT_EQ(counts.size(), 64U);
    EXPECT_EQ(counts[33], 17);
    EXPECT_EQ(counts[32], 3320);
    EXPECT_EQ(counts[34], 3340);
}

TEST_F(HeadCounts, DefectOnABarePortReadsAlone)
{
    head.setChannelDefect(kBoardA, 4, 1, 500);
    wire.exchange({selectPortFrame(kBoardA, 1 << 4)});
    EXPECT_EQ(readCounts(3), (std::vector<int>{0, 500, 0}));
}

// Situations in which the head answers ReadCounts with zeros.
struct ZeroCase {
    const char* name;
    std::vector<Report> before;
    bool zeroFault;
};

class HeadZeroCounts : public HeadCounts, public ::testing::WithParamInterface<ZeroCase> {};

TEST_P(HeadZeroCounts, AnswersZeros)
{
    head.setZeroCounts(GetParam().zeroFault);
    wire.exchange(GetParam().before);
    const std::vector<int> counts = readCounts(40);
    ASSERT_EQ(counts.size(), 40U);
    for (int count : counts)
        EXPECT_EQ(count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadZeroCounts,
    ::testing::Values(ZeroCase{"ZeroFault", {selectPortFrame(kBoardA, 1 << 2)}, true},
                      ZeroCase{"NothingSelected", {}, false},
                      ZeroCase{
                          "Released", {selectPortFrame(kBoardA, 1 << 2), selectPortFrame(kBoardA, 0)}, false},
                      ZeroCase{"PortWithoutPanel", {selectPortFrame(kBoardA, 1 << 3)}, false},
                      ZeroCase{"NoBoardAtAddress", {selectPortFrame(0x7F, 1 << 2)}, false},
                      ZeroCase{"SeveralPortBits", {selectPortFrame(kBoardA, 0x05)}, false}),
    ByName());

TEST_F(HeadCounts, ZeroFaultCanBeLifted)
{
    wire.exchange({selectPortFrame(kBoardB, 1 << 7)});
    head.setZeroCounts(true);
    EXPECT_EQ(readCounts(1), std::vector<int>{0});
    head.setZeroCounts(false);
    EXPECT_EQ(readCounts(1), std::vector<int>{3000});
}

TEST_F(HeadCounts, NoiseIsTheSameForTheSameSeed)
{
    SimBus otherBus;
    SimHead& other = otherBus.addHead();
    other.clearSetup();
    other.setExpansionBoard(0, kBoardA, 0x0108);
    other.setPanel(kBoardA, 2, bases(40, 1000), 3);
    Wire otherWire(otherBus.open(other.path()));

    wire.exchange({selectPortFrame(kBoardA, 1 << 2)});
    otherWire.exchange({selectPortFrame(kBoardA, 1 << 2)});
    for (int round = 0; round < 3; ++round)
        EXPECT_EQ(wire.exchange({readCountsFrame(40)}), otherWire.exchange({readCountsFrame(40)}));
}

TEST_F(HeadCounts, BusReadGivesTheSelectedBoardsFirmwareVersion)
{
    wire.exchange({selectPortFrame(kBoardA, 1 << 0)});
    EXPECT_EQ(firmwareVersion(), 0x0108);
    wire.exchange({selectPortFrame(kBoardB, 1 << 3)});
    EXPECT_EQ(firmwareVersion(), 0x0203);
    wire.exchange({selectPortFrame(0x7F, 1 << 3)});
    EXPECT_EQ(firmwareVersion(), 0); // nobody answers at that address
    wire.exchange({selectPortFrame(kBoardB, 0)});
    EXPECT_EQ(firmwareVersion(), 0); // released
}

TEST_F(HeadCounts, BusReadWithoutTheVersionRequestGivesZeros)
{
    wire.exchange({selectPortFrame(kBoardA, 1 << 0)});
    const Report parameters = report({0x20, 0x00, 0x02, 0x01, 0x01});
    wire.exchange({header(0x1B), parameters, report({0x02, 0x00})});
    const std::vector<Report> replies = wire.exchange({header(0x1A), parameters});
    ASSERT_EQ(replies.size(), 2U);
    EXPECT_EQ(replies[0][1], 0);
    EXPECT_EQ(replies[0][2], 0);
}

} // namespace
