// Every command frame gets exactly the number of input reports the station reads for it, each
// 65 bytes with report id 0; reports outside a frame get nothing.
#include "SimWire.h"
#include "sim/SimBus.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

struct FrameCase {
    const char* name;
    std::vector<Report> frame;
    std::size_t replies;
};

std::vector<FrameCase> frameCases()
{
    const Report busParameters = report({0x20, 0x00, 0x02, 0x01, 0x01});
    return {
        {"BusRead", {header(0x1A), busParameters}, 2},
        {"BusWrite", {header(0x1B), busParameters, report({0x01, 0xFE})}, 1},
        {"QueryStatus", {header(0x1C), report({0x01})}, 1},
        {"WriteBlock", {header(0x20), report({249}), dataReport(Payload{})}, 0},
        {"ReadBlock", {header(0x21), report({249, 0x40})}, 1},
        {"WriteMemory", {header(0x22), report({0x01, 0x00, 26}), dataReport(Payload{})}, 0},
        {"ReadMemory", {header(0x23), report({0x01, 0x00, 26})}, 1},
        {"ReadControl", {header(0x24)}, 1},
        {"WriteControl", {header(0x25), dataReport(Payload{})}, 1},
        {"ReadCounts_n0", {readCountsFrame(0)}, 1},
        {"ReadCounts_n1", {readCountsFrame(1)}, 1},
        {"ReadCounts_n32", {readCountsFrame(32)}, 1},
        {"ReadCounts_n33", {readCountsFrame(33)}, 2},
        {"ReadCounts_n64", {readCountsFrame(64)}, 2},
        {"ReadCounts_n255", {readCountsFrame(255)}, 8},
        {"PatchBlock", {patchBlockFrame(249, 0, 1, 1, CUSBHardWare::patchSignature())}, 0},
        {"SelectPort", {selectPortFrame(32, 0x01)}, 0},
        {"ShowText", {report({0xAA, 0x55, 0xB0})}, 0},
        {"ReadFirmwareInfo", {header(0xFF)}, 1},
        {"UnknownCode", {header(0x77)}, 0},
        {"NoHeader", {report({0x12, 0x34, 0x24})}, 0},
        {"ReadCountsWithWrongMarkers", {report({0xAA, 0x55, 0x30, 0x21, 8, 0x55, 0xAA})}, 0},
    };
}

class HeadFrames : public ::testing::TestWithParam<FrameCase> {
protected:
    SimBus bus;
    SimHead& head = bus.addHead();
};

TEST_P(HeadFrames, AnswersWithTheStatedNumberOfReports)
{
    Wire wire(bus.open(head.path()));
    const std::vector<Report> replies = wire.exchange(GetParam().frame);
    EXPECT_EQ(replies.size(), GetParam().replies);
    for (const Report& r : replies)
        EXPECT_EQ(r[0], 0);

    // The head is back at a frame boundary: a following ReadControl gets its one reply.
    EXPECT_EQ(wire.exchange({header(0x24)}).size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Commands, HeadFrames, ::testing::ValuesIn(frameCases()), ByName());

TEST(HeadFrameParsing, DataReportThatLooksLikeAHeaderIsTakenAsData)
{
    SimBus bus;
    SimHead& head = bus.addHead();
    Wire wire(bus.open(head.path()));
    Payload block{};
    block[0] = 0xAA;
    block[1] = 0x55;
    block[2] = 0x24; // would be ReadControl if it were a header
    EXPECT_TRUE(wire.exchange({header(0x20), report({7}), dataReport(block)}).empty());
    EXPECT_EQ(head.block(7), block);
}

TEST(HeadFrameParsing, RecordsEveryReceivedReportInOrder)
{
    SimBus bus;
    SimHead& head = bus.addHead();
    head.clearReceived();
    Wire wire(bus.open(head.path()));
    const std::vector<Report> sent = {header(0x21), report({249, 0x40}), report({0x12})};
    wire.exchange(sent);

    const std::vector<SimHead::Received> received = head.received();
    ASSERT_EQ(received.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(received[i].report, sent[i]);
    EXPECT_LE(received[0].at, received[2].at);

    head.clearReceived();
    EXPECT_TRUE(head.received().empty());
}

} // namespace
