// The built tool run as a process against its simulated head: what each command prints, its
// exit code, and what the head received (read back from the tool's own trace).
#include "ToolProcess.h"

#include "SingleInstance.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <regex>

using ::testing::HasSubstr;

namespace {

constexpr const char* kMissingDir = "/nonexistent-stenvikplus-dir/";

struct CommandCase {
    const char* name;
    QStringList args; // "@F" is replaced by a file of the test's own folder
    int exitCode;
    const char* inOut; // must appear on standard output ("" for none)
    const char* inErr; // must appear on standard error ("" for none)
};

void PrintTo(const CommandCase& c, std::ostream* os)
{
    *os << c.name;
}

class ToolCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ToolCommand, PrintsAndExitsAsDocumented)
{
    const CommandCase& c = GetParam();
    ToolRig rig;
    QStringList args;
    for (const QString& arg : c.args)
        args << (arg == QStringLiteral("@F") ? QString::fromStdString(rig.file("setup.ini")) : arg);
    const ToolRun run = rig.run(args);
    ASSERT_FALSE(run.crashed) << run.err;
    EXPECT_EQ(run.exitCode, c.exitCode) << "stdout:\n" << run.out << "stderr:\n" << run.err;
    EXPECT_THAT(run.out, HasSubstr(c.inOut));
    EXPECT_THAT(run.err, HasSubstr(c.inErr));
}

QStringList sim(QStringList rest)
{
    return QStringList{QStringLiteral("--simulate")} + rest;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ToolCommand,
    ::testing::Values(
        CommandCase{"ListNamesTheSimulatedTester", sim({"list"}), 0, "/dev/hidraw-sim0\t", ""},
        CommandCase{"ListShowsGuidAndType", sim({"list"}), 0, "\tTRIVELLAV2\n", ""},
        CommandCase{"ListAsJson", sim({"--json", "list"}), 0, "\"schema\": \"stenvikplus.list/1\"", ""},
        CommandCase{"InfoShowsGridAndType", sim({"info"}), 0, "grid        2 x 2", ""},
        CommandCase{"InfoShowsFirmware", sim({"info"}), 0, "firmware    0.1.1.0 (hardware type", ""},
        CommandCase{"InfoOfAnotherDemoGrid", {"--simulate=1x3x8", "info"}, 0, "grid        1 x 3", ""},
        CommandCase{"InfoListsEveryBoardWithItsExpansionFirmware",
                    {"--simulate=1x3x8", "info"},
                    0,
                    "    2    0    2         8          0     2       32  0.1.0.8",
                    ""},
        CommandCase{"InfoAsJson", sim({"--json", "info"}), 0, "\"schema\": \"stenvikplus.info/1\"", ""},
        CommandCase{"SetupSaveSaysSaved", sim({"setup", "save", "@F"}), 0, "", "文件保存成功！"},
        CommandCase{"SetupSaveToAnUnwritablePlace",
                    sim({"setup", "save", QString::fromLatin1(kMissingDir) + "x.ini"}), 3, "",
                    "文件保存失败！"},
        CommandCase{"SetupLoadOfAMissingFile",
                    sim({"setup", "load", QString::fromLatin1(kMissingDir) + "x.ini"}), 3, "", kMissingDir},
        CommandCase{"TraceFileThatCannotBeOpened",
                    sim({"--trace", QString::fromLatin1(kMissingDir) + "t.log", "info"}), 3, "", "trace"},
        CommandCase{"MeasureNamesChannel13OfTheFailingBoard", sim({"measure", "--cycles", "2"}), 1, "",
                    "通道 13"},
        CommandCase{"MeasureTablesEveryBoard", sim({"measure", "--cycles", "2"}), 1,
                    "    3    1    1        40  FAIL           2/2 ", ""},
        CommandCase{"MeasureAsJson", sim({"--json", "measure", "--cycles", "1"}), 1,
                    "\"schema\": \"stenvikplus.measure/1\"", ""},
        CommandCase{"MeasureZeroCycles", sim({"measure", "--cycles", "0"}), 64, "", "--cycles"},
        CommandCase{"MeasureCyclesNotANumber", sim({"measure", "--cycles", "ten"}), 64, "", "--cycles"},
        CommandCase{"NoCommand", sim({}), 64, "", "a command is required"},
        CommandCase{"UnknownCommand", sim({"bogus"}), 64, "", "bogus"},
        CommandCase{"SetupWithoutSaveOrLoad", sim({"setup"}), 64, "", ""},
        CommandCase{"SetupSaveWithoutFile", sim({"setup", "save"}), 64, "", "FILE"},
        CommandCase{"DemoGridTooLarge", {"--simulate=5x4x64", "info"}, 64, "", "--simulate=RxCxN"},
        CommandCase{"DemoGridWithoutChannels", {"--simulate=4x4x", "info"}, 64, "", "--simulate=RxCxN"}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

// The demo head fails one channel of its last board: every other board passes in every cycle,
// that board fails in every cycle, named by its failing channel.
TEST(ToolMeasure, JudgesEveryBoardOverTheCyclesFromTheCycleVerdicts)
{
    ToolRig rig;
    const ToolRun run = rig.run(sim({"--json", "measure", "--cycles", "3"}));
    ASSERT_EQ(run.exitCode, 1) << run.err;
    const nlohmann::json document = nlohmann::json::parse(run.out);
    EXPECT_EQ(document["cycles"], 3);
    EXPECT_EQ(document["head"]["deviceType"], "TRIVELLAV2");
    ASSERT_EQ(document["boards"].size(), 4u);
    for (const auto& board : document["boards"]) {
        const bool last = board["row"] == 1 && board["col"] == 1;
        EXPECT_EQ(board["verdict"], last ? "FAIL" : "PASS") << board["index"];
        EXPECT_EQ(board["failedCycles"], last ? 3 : 0);
        EXPECT_EQ(board["failing"], last ? nlohmann::json::array({13}) : nlohmann::json::array());
        ASSERT_EQ(board["channels"].size(), 40u);
        const auto& channel13 = board["channels"][13];
        EXPECT_EQ(channel13["pass"], !last);
        EXPECT_LE(channel13["min"].get<int>(), channel13["mean"].get<double>());
        EXPECT_LE(channel13["mean"].get<double>(), channel13["max"].get<int>());
        if (last)
            EXPECT_LT(channel13["last"].get<int>(), channel13["low"].get<int>());
    }
}

// measure runs the station as the window does and ends with its close sequence: buzzer and
// lamps off, then "CLOSED" on the LCD; the result of the last cycle was signalled before.
TEST(ToolMeasure, SignalsTheVerdictAndEndsWithTheCloseSequence)
{
    ToolRig rig;
    const std::string trace = rig.file("trace.log");
    ASSERT_EQ(rig.run(sim({"--trace", QString::fromStdString(trace), "measure", "--cycles", "2"})).exitCode,
              1);
    const std::vector<std::string> lcd = lcdLines(trace);
    ASSERT_GE(lcd.size(), 3u);
    EXPECT_EQ(lcd.back(), "     CLOSED     ");
    EXPECT_EQ(std::count(lcd.begin(), lcd.end(), "      FAIL      "), 2);
    EXPECT_EQ(std::count(lcd.begin(), lcd.end(), "    ALL PASS    "), 0);
}

// SIGINT and SIGTERM end watch through the close sequence, after at least one cycle line.
class ToolWatchSignal : public ::testing::TestWithParam<int> {};

TEST_P(ToolWatchSignal, RunsTheCloseSequence)
{
    ToolRig rig;
    const std::string trace = rig.file("trace.log");
    QProcess* process = rig.start(sim({"--trace", QString::fromStdString(trace), "watch"}));
    // Waits for the first cycle line before interrupting.
    for (int i = 0; i < 600 && !process->canReadLine(); ++i)
        process->waitForReadyRead(100);
    ASSERT_TRUE(process->canReadLine());
    ::kill(static_cast<pid_t>(process->processId()), GetParam());
    const ToolRun run = ToolRig::finish(*process);
    delete process;
    ASSERT_FALSE(run.crashed) << run.err;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, ::testing::StartsWith("cycle 1 "));
    EXPECT_THAT(run.out, HasSubstr("1:1 FAIL ch 13"));
    const std::vector<std::string> lcd = lcdLines(trace);
    ASSERT_FALSE(lcd.empty());
    EXPECT_EQ(lcd.back(), "     CLOSED     ");
}

INSTANTIATE_TEST_SUITE_P(Cli, ToolWatchSignal, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

// Without --simulate the tool looks for a real head on USB; there is none on a build machine.
TEST(ToolWithoutHead, InfoSaysDisconnectedAndExits2)
{
    ToolRig rig;
    const ToolRun run = rig.run({"info"});
    if (run.exitCode == 0)
        GTEST_SKIP() << "a real head is attached";
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err, HasSubstr("USB Disconnected"));
    EXPECT_EQ(run.out, "");
}

// The window and the tool take one guard: while the window (or another tool) holds it, a command
// that drives a head says so and exits 2 without sending anything; list still runs.
TEST(ToolGuard, ASecondInstanceExits2AndSendsNothing)
{
    ToolRig rig;
    SingleInstance window(rig.runtimeDir());
    ASSERT_TRUE(window.acquire());
    const std::string trace = rig.file("trace.log");
    for (const char* command : {"info", "setup"}) {
        QStringList args = sim({"--trace", QString::fromStdString(trace), command});
        if (std::string(command) == "setup")
            args << "save" << QString::fromStdString(rig.file("setup.ini"));
        const ToolRun run = rig.run(args);
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_THAT(run.err, HasSubstr("已经运行了一个程序，禁止同时开启两个相同的程序!")) << command;
    }
    EXPECT_TRUE(writtenReports(trace).empty());

    const ToolRun list = rig.run(sim({"list"}));
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_THAT(list.out, HasSubstr("/dev/hidraw-sim0"));
}

TEST(ToolGuard, TheToolReleasesTheGuardWhenItEnds)
{
    ToolRig rig;
    ASSERT_EQ(rig.run(sim({"info"})).exitCode, 0);
    SingleInstance window(rig.runtimeDir());
    EXPECT_TRUE(window.acquire());
}

// A file whose grid the station cannot hold is refused before anything reaches the head.
TEST(ToolSetupLoad, AGridOfNineRowsExits3AndChangesNothingOnTheHead)
{
    ToolRig rig;
    const std::string saved = rig.file("setup.ini");
    ASSERT_EQ(rig.run(sim({"setup", "save", QString::fromStdString(saved)})).exitCode, 0);
    std::string text = readFile(saved);
    const std::string row = "GUIROW=2\r\n";
    ASSERT_NE(text.find(row), std::string::npos);
    text.replace(text.find(row), row.size(), "GUIROW=9\r\n");
    const std::string nineRows = rig.file("nine-rows.ini");
    std::ofstream(nineRows, std::ios::binary) << text;

    const std::string trace = rig.file("trace.log");
    const ToolRun run = rig.run(
        sim({"--trace", QString::fromStdString(trace), "setup", "load", QString::fromStdString(nineRows)}));
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_THAT(run.err, HasSubstr("(0-4)"));
    const auto written = writtenReports(trace);
    ASSERT_FALSE(written.empty()); // the connection set-up was traced
    for (const auto& report : written) {
        const int code = commandOf(report);
        EXPECT_TRUE(code != 0x20 && code != 0x22 && code != 0x40 && code != 0xFD)
            << "the head was sent command " << std::hex << code;
    }
}

// A file the head accepts is written and the head restarted, as the window's Load does.
TEST(ToolSetupLoad, AnAcceptedFileEndsWithRestart)
{
    ToolRig rig;
    const std::string saved = rig.file("setup.ini");
    ASSERT_EQ(rig.run(sim({"setup", "save", QString::fromStdString(saved)})).exitCode, 0);
    const std::string trace = rig.file("trace.log");
    const ToolRun run = rig.run(
        sim({"--trace", QString::fromStdString(trace), "setup", "load", QString::fromStdString(saved)}));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.err, HasSubstr("文件载入成功！"));
    const auto written = writtenReports(trace);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(commandOf(written.back()), 0xFD);
}

// The tool runs over SSH without a display: it must not need Qt's GUI or Widgets libraries.
TEST(ToolBinary, LinksNoQtGuiLibrary)
{
    QProcess readelf;
    readelf.start(QStringLiteral("readelf"), {QStringLiteral("-d"), QStringLiteral(STENVIKPLUS_CLI)});
    ASSERT_TRUE(readelf.waitForFinished(30000));
    const std::string dynamic = readelf.readAllStandardOutput().toStdString();
    ASSERT_THAT(dynamic, HasSubstr("(NEEDED)"));
    EXPECT_THAT(dynamic, HasSubstr("libQt6Core"));
    for (const char* library :
         {"libQt6Gui", "libQt6Widgets", "libQt6Multimedia", "libGL", "libX11", "libxcb"})
        EXPECT_THAT(dynamic, ::testing::Not(HasSubstr(library))) << library;
}

} // namespace
