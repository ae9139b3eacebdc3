// The report trace: one line per report with its time, direction and bytes.
#include "DeviceTestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <regex>
#include <sstream>
#include <thread>

namespace {

std::vector<std::string> traceLines(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::vector<std::string> lines;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(ReportTrace, WritesEveryReportReadTimeoutsAndDiscardedReplies)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        AttachedChannel head;
        head.channel.setTrace(std::make_shared<ReportTrace>(file));
        head.queueReply(reportOf({0xAB}));
        Payload block{};
        head.channel.ReadBlock(249, block);
        head.queueReply(reportOf({0xCD}), std::chrono::milliseconds(150));
        head.channel.ReadControl(block); // times out; its reply comes late
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        head.channel.Restart(); // the stale reply is dropped before this request
    }
    const auto lines = traceLines(file);
    std::fclose(file);

    const std::regex report(R"(^\d+\.\d{6} [WR] [0-9a-f]{130}$)");
    ASSERT_EQ(lines.size(), 7U);
    EXPECT_TRUE(std::regex_match(lines[0], report)) << lines[0];
    EXPECT_EQ(lines[0].substr(lines[0].find(' ')), " W 00aa5521" + std::string(122, '0'));
    EXPECT_EQ(lines[1].substr(lines[1].find(' ')), " W 00f940" + std::string(124, '0'));
    EXPECT_EQ(lines[2].substr(lines[2].find(' ')), " R 00ab" + std::string(126, '0'));
    EXPECT_EQ(lines[3].substr(lines[3].find(' ')), " W 00aa5524" + std::string(122, '0'));
    EXPECT_TRUE(std::regex_match(lines[4], std::regex(R"(^\d+\.\d{6} R timeout$)"))) << lines[4];
    EXPECT_EQ(lines[5], "# late reply discarded 00cd" + std::string(126, '0'));
    EXPECT_EQ(lines[6].substr(lines[6].find(' ')), " W 00aa55fd" + std::string(122, '0'));
}

// The station runs with the desktop's locale (Qt sets it at start); a trace must still read
// "0.353010", not "0,353010", for the tools that parse it.
TEST(ReportTrace, TimesUseADecimalPointWhateverTheLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    EXPECT_STREQ(probe, "0,5") << "the locale really uses a decimal comma";

    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        ReportTrace trace(file);
        trace.written(reportOf({0x01}));
        trace.readTimeout();
    }
    const auto lines = traceLines(file);
    std::fclose(file);
    std::setlocale(LC_ALL, previous.c_str());

    ASSERT_EQ(lines.size(), 2U);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(^\d+\.\d{6} W 0001[0-9a-f]{126}$)"))) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(^\d+\.\d{6} R timeout$)"))) << lines[1];
}

} // namespace
