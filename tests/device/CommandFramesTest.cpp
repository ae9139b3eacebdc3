// What the head receives for each command, byte for byte, and how many replies are read.
#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct FrameCase {
    const char* name;
    std::function<bool(CUSBChannel&)> call;
    std::vector<Report> expected;
    int replies;
};

const Payload kBlockData = [] {
    Payload p{};
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = static_cast<std::uint8_t>(i + 1);
    return p;
}();

Report dataOf(const Payload& p)
{
    Report r{};
    std::copy(p.begin(), p.end(), r.begin() + 1);
    return r;
}

std::vector<FrameCase> frameCases()
{
    const Report showText =
        withText(withText(reportOf({0xAA, 0x55, 0xB0}), 9, " SENSOR TESTER  "), 26, "    ALL PASS    ");
    Report patch = withText(reportOf({0xAA, 0x55, 0x40, 249, 0, 0x04, 0x04}), 8, CUSBHardWare::patchSignature());
    std::array<std::uint8_t, 3> three{7, 8, 9};
    Report memoryData = reportOf({7, 8, 9});
    return {
        {"BusRead",
         [](CUSBChannel& c) {
             std::uint8_t h = 0, l = 0;
             return c.BusRead(h, l);
         },
         {reportOf({0xAA, 0x55, 0x1A}), reportOf({0x20, 0x00, 0x02, 0x01, 0x01})},
         2},
        {"BusWrite", [](CUSBChannel& c) { return c.BusWrite(0x01, 0xFE); },
         {reportOf({0xAA, 0x55, 0x1B}), reportOf({0x20, 0x00, 0x02, 0x01, 0x01}), reportOf({0x01, 0xFE})},
         1},
        {"QueryStatus",
         [](CUSBChannel& c) {
             int s = 0;
             return c.QueryStatus(s);
         },
         {reportOf({0xAA, 0x55, 0x1C}), reportOf({0x01})},
         1},
        {"WriteBlock", [](CUSBChannel& c) { return c.WriteBlock(249, kBlockData); },
         {reportOf({0xAA, 0x55, 0x20}), reportOf({249}), dataOf(kBlockData)},
         0},
        {"ReadBlock",
         [](CUSBChannel& c) {
             Payload p{};
             return c.ReadBlock(249, p);
         },
         {reportOf({0xAA, 0x55, 0x21}), reportOf({0xF9, 0x40})},
         1},
        {"WriteMemory",
         [three](CUSBChannel& c) { return c.WriteMemory(0x2880, 3, three.data()); },
         {reportOf({0xAA, 0x55, 0x22}), reportOf({0x28, 0x80, 3}), memoryData},
         0},
        {"ReadMemory",
         [](CUSBChannel& c) {
             std::uint8_t buf[64];
             return c.ReadMemory(10368, 26, buf);
         },
         {reportOf({0xAA, 0x55, 0x23}), reportOf({0x28, 0x80, 26})},
         1},
        {"ReadControl",
         [](CUSBChannel& c) {
             Payload p{};
             return c.ReadControl(p);
         },
         {reportOf({0xAA, 0x55, 0x24})},
         1},
        {"WriteControl", [](CUSBChannel& c) { return c.WriteControl(kBlockData); },
         {reportOf({0xAA, 0x55, 0x25}), dataOf(kBlockData)},
         1},
        {"ReadCounts",
         [](CUSBChannel& c) {
             CUSBHardWare::CountsBuffer b{};
             return c.ReadCounts(40, 0x37, 0x1A, b);
         },
         {reportOf({0xAA, 0x55, 0x30, 0x20, 40, 0x55, 0xAA, 0x37, 0x1A})},
         2},
        {"PatchBlock", [](CUSBChannel& c) { return c.PatchBlock(249, 0, 0x04, 0x04); }, {patch}, 0},
        {"SelectPort", [](CUSBChannel& c) { return c.SelectPort(33, 1 << 5); },
         {reportOf({0xAA, 0x55, 0x50, 33, 0x20})},
         0},
        {"ShowText", [](CUSBChannel& c) { return c.ShowText("    ALL PASS    "); }, {showText}, 0},
        {"Restart", [](CUSBChannel& c) { return c.Restart(); }, {reportOf({0xAA, 0x55, 0xFD})}, 0},
        {"ReadFirmwareInfo",
         [](CUSBChannel& c) {
             FirmwareInfo info;
             return c.ReadFirmwareInfo(info);
         },
         {reportOf({0xAA, 0x55, 0xFF})},
         1},
    };
}

class CommandFrames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(CommandFrames, WritesExactReportsAndReadsExpectedReplies)
{
    const FrameCase& c = GetParam();
    AttachedChannel head;
    for (int i = 0; i < c.replies; ++i)
        head.queueReply(reportOf({0x11}));

    EXPECT_TRUE(c.call(head.channel));

    const std::vector<Report> written = head.written();
    ASSERT_EQ(written.size(), c.expected.size());
    for (std::size_t i = 0; i < written.size(); ++i)
        EXPECT_EQ(written[i], c.expected[i]) << "report " << i;
    EXPECT_EQ(head.reads(), c.replies);
}

INSTANTIATE_TEST_SUITE_P(AllCommands, CommandFrames, ::testing::ValuesIn(frameCases()),
                         [](const auto& tc) { return std::string(tc.param.name); });

TEST(PatchSignature, IsTwoUpperCaseLettersAndEightDigits)
{
    const std::string s = CUSBHardWare::patchSignature();
    ASSERT_EQ(s.size(), 10U);
    EXPECT_TRUE(std::isupper(static_cast<unsigned char>(s[0])) && std::isupper(static_cast<unsigned char>(s[1])));
    for (std::size_t i = 2; i < 10; ++i)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(s[i]))) << s;
}

class CountsReports : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(CountsReports, ReadsOneReportPerThirtyTwoChannels)
{
    const auto [channels, reports] = GetParam();
    AttachedChannel head;
    for (int r = 0; r < reports; ++r) {
        Report reply{};
        for (int i = 0; i < 32; ++i) {
            const int value = r * 32 + i + 1000;
            reply[1 + 2 * i] = static_cast<std::uint8_t>(value & 0xFF);
            reply[2 + 2 * i] = static_cast<std::uint8_t>(value >> 8);
        }
        head.queueReply(reply);
    }
    CUSBHardWare::CountsBuffer counts{};
    EXPECT_TRUE(head.channel.ReadCounts(static_cast<std::uint8_t>(channels), 0, 0, counts));
    EXPECT_EQ(head.reads(), reports);
    for (int i = 0; i < std::min(channels, 64); ++i)
        EXPECT_EQ(counts[2 * i] | (counts[2 * i + 1] << 8), 1000 + i) << "channel " << i;
}

INSTANTIATE_TEST_SUITE_P(ChannelCounts, CountsReports,
                         ::testing::Values(std::pair{0, 1}, std::pair{1, 1}, std::pair{32, 1}, std::pair{33, 2},
                                           std::pair{64, 2}));

TEST(ShowText, PadsShortTextWithZerosAndCutsLongText)
{
    AttachedChannel head;
    head.channel.ShowText("abc");
    head.channel.ShowText("12345678901234567890");
    const auto written = head.written();
    ASSERT_EQ(written.size(), 2U);
    EXPECT_EQ(written[0], withText(withText(reportOf({0xAA, 0x55, 0xB0}), 9, " SENSOR TESTER  "), 26, "abc"));
    EXPECT_EQ(written[1],
              withText(withText(reportOf({0xAA, 0x55, 0xB0}), 9, " SENSOR TESTER  "), 26, "1234567890123456"));
}

TEST(Memory, ReadDeliversOnlyTheRequestedBytes)
{
    AttachedChannel head;
    Report reply{};
    for (std::size_t i = 1; i < reply.size(); ++i)
        reply[i] = static_cast<std::uint8_t>(i);
    head.queueReply(reply);
    std::array<std::uint8_t, 64> buffer;
    buffer.fill(0xEE);
    EXPECT_TRUE(head.channel.ReadMemory(512, 26, buffer.data()));
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(buffer[i], i + 1);
    for (int i = 26; i < 64; ++i)
        EXPECT_EQ(buffer[i], 0xEE) << "byte " << i << " past the requested length was touched";
}

TEST(Memory, WriteSendsDataThenZerosAndHoldsTheLockTenMilliseconds)
{
    AttachedChannel head;
    std::array<std::uint8_t, 64> data;
    data.fill(0x5A);
    head.channel.WriteMemory(256, 26, data.data());
    head.channel.Restart();

    std::lock_guard lock(head.state->mutex);
    const auto& w = head.state->written;
    ASSERT_EQ(w.size(), 4U);
    for (int i = 1; i <= 26; ++i)
        EXPECT_EQ(w[2].report[i], 0x5A);
    for (int i = 27; i <= 64; ++i)
        EXPECT_EQ(w[2].report[i], 0) << "byte " << i;
    EXPECT_GE(w[3].at - w[2].at, std::chrono::milliseconds(10));
}

TEST(FirmwareInfoDecoding, ReadsFieldsLittleEndian)
{
    AttachedChannel head;
    head.queueReply(reportOf({0x12, 0x56, 0x00, 0xEA, 0x07, 12, 31, 0x03, 0x01}));
    FirmwareInfo info;
    ASSERT_TRUE(head.channel.ReadFirmwareInfo(info));
    EXPECT_EQ(info.kind(), 1);
    EXPECT_FALSE(info.isHardwareType());
    EXPECT_EQ(info.bugFixCount(), 2);
    EXPECT_EQ(info.version(), 0x0056);
    EXPECT_EQ(info.buildYear(), 2026);
    EXPECT_EQ(info.buildMonth(), 12);
    EXPECT_EQ(info.buildDay(), 31);
    EXPECT_EQ(info.bootloaderVersion(), 0x0103);
}

TEST(BusReadAndQueryStatus, TakeTheirBytesFromTheReplies)
{
    AttachedChannel head;
    head.queueReply(reportOf({0x01, 0x08}));
    head.queueReply(reportOf({0x77}));
    std::uint8_t high = 0, low = 0, status = 0;
    ASSERT_TRUE(head.channel.BusRead(high, low, &status));
    EXPECT_EQ((high << 8) | low, 0x0108);
    EXPECT_EQ(status, 0x77);
    head.queueReply(reportOf({0b1011'0100}));
    int query = -1;
    ASSERT_TRUE(head.channel.QueryStatus(query));
    EXPECT_EQ(query, 1);
}

} // namespace
