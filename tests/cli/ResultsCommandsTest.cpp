// results export and results summary, run as the built tool on a results file written here.
#include "ToolProcess.h"
#include "results/PendingRuns.h"
#include "results/ResultsStore.h"
#include "results/SampleRuns.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

using ::testing::HasSubstr;

namespace {

class ResultsCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResultsStore store(results);
        store.write(sampleRun(1, 4, 16));
        store.write(sampleRun(2, 4, 16, 2, 13));
    }

    ToolRun tool(QStringList args)
    {
        return rig.run(QStringList{QStringLiteral("--results"), QString::fromStdString(results)} + args);
    }

    static int lineCount(const std::string& text)
    {
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

    ToolRig rig;
    std::string results = rig.file("results.sqlite");
};

TEST_F(ResultsCommands, ExportAsJsonHasEveryBoardResultWithItsChannels)
{
    const ToolRun run = tool({"results", "export", "--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json.size(), 8U);
    EXPECT_EQ(json[6]["serial"], "SN-2-2");
    EXPECT_EQ(json[6]["verdict"], "FAIL");
    EXPECT_EQ(json[6]["channels"][13]["pass"], false);
}

TEST_F(ResultsCommands, ExportAsCsvFiltersBySerialAndTime)
{
    ToolRun run = tool({"results", "export", "--serial", "SN-2-2"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), 2) << run.out;
    EXPECT_THAT(run.out, HasSubstr(",SN-2-2,FAIL,5,"));

    run =
        tool({"results", "export", "--since", QString::fromStdString(sampleRun(2).startedAt.substr(0, 19))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(lineCount(run.out), 1 + 4) << run.out;
}

TEST_F(ResultsCommands, ExportToAFileWritesItWhole)
{
    const std::string output = rig.file("export.csv");
    const ToolRun run = tool({"results", "export", "--output", QString::fromStdString(output)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    std::ifstream in(output);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(lineCount(text.str()), 1 + 8);
}

TEST_F(ResultsCommands, SummaryPutsTheFailingChannelFirst)
{
    ToolRun run = tool({"--json", "results", "summary"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["schema"], "stenvikplus.results-summary/1");
    EXPECT_EQ(json["runs"], 2);
    EXPECT_EQ(json["mostFailingChannels"][0]["index"], 2);
    EXPECT_EQ(json["mostFailingChannels"][0]["channel"], 13);
    EXPECT_EQ(json["positions"][2]["yield"], 0.5);

    run = tool({"results", "summary"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("  2, 13: 1"));
}

TEST_F(ResultsCommands, MeasureRecordKeepsARunWithTheSerialsGiven)
{
    const ToolRun run = tool(
        {"--simulate", "measure", "--cycles", "3", "--record", "--serial", "0=A-1", "--serial", "3=A-4"});
    ASSERT_FALSE(run.crashed) << run.err;
    EXPECT_EQ(run.exitCode, 1) << "the demo head's last board fails: " << run.err;
    EXPECT_THAT(run.err, HasSubstr("recorded run "));

    ResultsStore store(results);
    ASSERT_EQ(store.runCount(), 3);
    const auto latest = store.latestRuns({}).at(0);
    const auto recorded = *store.run(latest.id);
    EXPECT_EQ(recorded.cycleCount, 3);
    EXPECT_EQ(recorded.deviceType, "TRIVELLAV2");
    EXPECT_EQ(recorded.setupHash.size(), 64U);
    ASSERT_EQ(recorded.boards.size(), 4U);
    EXPECT_EQ(recorded.boards[0].serial, "A-1");
    EXPECT_EQ(recorded.boards[1].serial, "");
    EXPECT_EQ(recorded.boards[3].serial, "A-4");
    EXPECT_EQ(recorded.boards[3].verdict, RunVerdict::Fail);
    EXPECT_FALSE(recorded.boards[3].channels.at(13).pass);
    EXPECT_EQ(recorded.boards[0].verdict, RunVerdict::Pass);
}

TEST_F(ResultsCommands, MeasureRecordWhileTheFileIsLockedKeepsTheRunForTheNextRecord)
{
    auto other = std::make_unique<sqlite::Database>(results, sqlite::Database::Mode::ReadWriteCreate,
                                                    std::chrono::milliseconds(0));
    other->exec("BEGIN EXCLUSIVE"); // another program holds the file
    const std::string pending = pendingRunsFile(results).string();
    const ToolRun locked = tool({"--simulate", "measure", "--cycles", "3", "--record", "--serial", "0=K-1"});
    ASSERT_FALSE(locked.crashed) << locked.err;
    EXPECT_EQ(locked.exitCode, 3) << locked.err;
    EXPECT_THAT(locked.err, HasSubstr("locked"));
    EXPECT_THAT(locked.err, HasSubstr(pending)) << "says where the run is kept";
    EXPECT_EQ(pendingRunCount(pending), 1U);

    // A reader of the file says that a run is missing from it.
    const ToolRun export1 = tool({"results", "export", "--format", "csv"});
    EXPECT_THAT(export1.err, HasSubstr("1 test result(s) kept in " + pending));

    other->exec("COMMIT");
    other.reset();
    const ToolRun next = tool({"--simulate", "measure", "--cycles", "3", "--record"});
    ASSERT_FALSE(next.crashed) << next.err;
    EXPECT_THAT(next.err, HasSubstr(results)) << "says that the kept run has been saved";
    EXPECT_THAT(next.err, HasSubstr("recorded run "));
    EXPECT_FALSE(std::filesystem::exists(pending));
    ResultsStore store(results);
    EXPECT_EQ(store.runCount(), 4);
    ResultsStore::Filter bySerial;
    bySerial.serial = "K-1";
    EXPECT_EQ(store.latestRuns(bySerial).size(), 1U);
}

// The table printed with --record covers the cycles of the stored run, no more: the run starts
// once the head's setup has been read, cycles after the first ones.
TEST_F(ResultsCommands, MeasureRecordPrintsTheCyclesOfTheStoredRun)
{
    const ToolRun run = tool({"--simulate", "--json", "measure", "--cycles", "2", "--record"});
    ASSERT_FALSE(run.crashed) << run.err;
    ASSERT_EQ(run.exitCode, 1) << run.err;
    const auto printed = nlohmann::json::parse(run.out);

    ResultsStore store(results);
    const auto recorded = *store.run(store.latestRuns({}).at(0).id);
    ASSERT_EQ(recorded.cycleCount, 2);
    EXPECT_EQ(printed["cycles"], recorded.cycleCount);
    ASSERT_EQ(printed["boards"].size(), recorded.boards.size());
    for (std::size_t b = 0; b < recorded.boards.size(); ++b) {
        const auto& board = printed["boards"][b];
        const BoardResult& stored = recorded.boards[b];
        EXPECT_EQ(board["verdict"], verdictName(stored.verdict)) << "board " << b;
        EXPECT_EQ(board["failedCycles"], stored.failedCycles) << "board " << b;
        EXPECT_EQ(board["measuredCycles"], 2) << "board " << b;
        ASSERT_EQ(board["channels"].size(), stored.channels.size());
        for (std::size_t c = 0; c < stored.channels.size(); ++c) {
            EXPECT_EQ(board["channels"][c]["samples"], 2) << "board " << b << " channel " << c;
            EXPECT_EQ(board["channels"][c]["min"], stored.channels[c].min)
                << "board " << b << " channel " << c;
            EXPECT_EQ(board["channels"][c]["max"], stored.channels[c].max)
                << "board " << b << " channel " << c;
            EXPECT_EQ(board["channels"][c]["mean"], stored.channels[c].mean)
                << "board " << b << " channel " << c;
        }
    }
}

struct RefusalCase {
    const char* name;
    QStringList args;
    int exitCode;
    const char* inErr;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResultsCommandRefusal : public ResultsCommands, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ResultsCommandRefusal, ExitsWithTheDocumentedCodeAndSaysWhy)
{
    // A case that names its own results file runs without the fixture's.
    const QStringList& args = GetParam().args;
    const ToolRun run = args.first() == QStringLiteral("--results") ? rig.run(args) : tool(args);
    ASSERT_FALSE(run.crashed) << run.err;
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
    EXPECT_THAT(run.err, HasSubstr(GetParam().inErr));
    EXPECT_TRUE(run.out.empty()) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ResultsCommandRefusal,
    ::testing::Values(
        RefusalCase{
            "SinceNotADate", {"results", "export", "--since", "01.03.2026"}, 64, "--since wants an ISO date"},
        RefusalCase{"UnknownFormat", {"results", "export", "--format", "xml"}, 64, "--format"},
        RefusalCase{"NoResultsFile",
                    {"--results", "/nonexistent-stenvikplus-dir/r.sqlite", "results", "summary"},
                    3,
                    "no results file"},
        RefusalCase{"OutputFolderMissing",
                    {"results", "export", "--output", "/nonexistent-stenvikplus-dir/e.csv"},
                    3,
                    "cannot write"},
        RefusalCase{"ResultsAloneIsNoCommand", {"results"}, 64, "export"},
        RefusalCase{"SerialTwiceInOneRun",
                    {"--simulate", "measure", "--record", "--serial", "0=S", "--serial", "1=S"},
                    64,
                    "already given to another board"},
        RefusalCase{
            "SerialWithoutSlot", {"--simulate", "measure", "--record", "--serial", "S"}, 64, "SLOT=SERIAL"},
        RefusalCase{"SerialWithoutRecord", {"--simulate", "measure", "--serial", "0=S"}, 64, "--record"},
        RefusalCase{"RecordLongerThanARunKeeps",
                    {"--simulate", "measure", "--record", "--cycles", "4097"},
                    64,
                    "at most 4096 cycles"}),
    [](const ::testing::TestParamInfo<RefusalCase>& p) { return std::string(p.param.name); });

} // namespace
