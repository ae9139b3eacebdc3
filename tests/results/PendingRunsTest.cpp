// The pending file: runs kept at an exit, written in at the next start, never twice, and a
// damaged file reported and left for a person.
#include "PendingRuns.h"

#include "ResultsStore.h"
#include "SampleRuns.h"
#include "persistence/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class PendingRunsTest : public TempDirTest {
protected:
    std::filesystem::path file() const { return dir / "results.sqlite"; }
    std::filesystem::path pending() const { return pendingRunsFile(file()); }

    void keep(const std::vector<TestRun>& runs)
    {
        std::string error;
        ASSERT_TRUE(appendPendingRuns(pending(), runs, &error)) << error;
    }
};

TEST_F(PendingRunsTest, LiesBesideTheResultsFileUnderItsName)
{
    EXPECT_EQ(pendingRunsFile("/data/line 3/results.sqlite"), "/data/line 3/results.sqlite.pending.jsonl");
}

TEST_F(PendingRunsTest, AKeptRunComesBackFigureForFigure)
{
    TestRun run = sampleRun(7, 16, 64, 5);
    run.operatorName = "Zoë \"night\" shift\n";
    run.boards[2].channels[3].mean = 0.1 + 0.2; // a double without a short decimal form
    run.boards[2].channels[4].sd = 1e-300;
    keep({run, sampleRun(8)});
    ResultsStore store(file());
    const auto result = writeInPendingRuns(store, pending());
    EXPECT_EQ(result.writtenIn, 2U);
    EXPECT_TRUE(result.damage.empty());
    EXPECT_EQ(*store.run(run.id), run);
    EXPECT_EQ(*store.run(sampleRun(8).id), sampleRun(8));
}

TEST_F(PendingRunsTest, ARunWithTextThatIsNotUtf8IsKeptAllTheSame)
{
    TestRun run = sampleRun(9);
    run.boards[0].serial = "SN-\xff\xfe-1";
    keep({run});
    ResultsStore store(file());
    EXPECT_EQ(writeInPendingRuns(store, pending()).writtenIn, 1U);
    const auto stored = store.run(run.id);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->boards[0].serial, "SN-\xef\xbf\xbd\xef\xbf\xbd-1") << "the odd bytes become U+FFFD";
    EXPECT_EQ(stored->boards[1], run.boards[1]);
}

TEST_F(PendingRunsTest, ARunTheResultsFileAlreadyHoldsIsNotWrittenTwice)
{
    // A crash after the commit of run 1 and before the pending file was removed.
    ResultsStore store(file());
    store.write(sampleRun(1));
    keep({sampleRun(1), sampleRun(2)});
    const auto result = writeInPendingRuns(store, pending());
    EXPECT_EQ(result.writtenIn, 1U);
    EXPECT_EQ(result.alreadyThere, 1U);
    EXPECT_TRUE(result.removed);
    EXPECT_FALSE(std::filesystem::exists(pending()));
    EXPECT_EQ(store.runCount(), 2);
    EXPECT_EQ(store.boardResultCount(), 8);
}

TEST_F(PendingRunsTest, RunsKeptAtTwoExitsAllLand)
{
    keep({sampleRun(1)});
    keep({sampleRun(2), sampleRun(3)});
    EXPECT_EQ(pendingRunCount(pending()), 3U);
    ResultsStore store(file());
    EXPECT_EQ(writeInPendingRuns(store, pending()).writtenIn, 3U);
    EXPECT_EQ(store.runCount(), 3);
}

TEST_F(PendingRunsTest, NoPendingFileWritesNothing)
{
    ResultsStore store(file());
    const auto result = writeInPendingRuns(store, pending());
    EXPECT_EQ(result.writtenIn + result.alreadyThere, 0U);
    EXPECT_TRUE(result.damage.empty());
    EXPECT_FALSE(result.removed);
}

TEST_F(PendingRunsTest, AnExitAfterATornLineAddsItsRunOnALineOfItsOwn)
{
    const std::string torn = pendingLine(sampleRun(1)).substr(0, 200);
    writeAll(pending(), torn);
    keep({sampleRun(2)});
    EXPECT_EQ(readAll(pending()), torn + "\n" + pendingLine(sampleRun(2)) + "\n");
    ResultsStore store(file());
    const auto result = writeInPendingRuns(store, pending());
    EXPECT_EQ(result.writtenIn, 1U);
    ASSERT_EQ(result.damage.size(), 1U);
    EXPECT_EQ(result.damage[0].line, 1U);
}

// A pending file a person should look at: what is in it, which line is bad and why.
struct Damage {
    std::string name;
    std::string content; // "{1}" and "{2}" stand for the lines of sample runs 1 and 2
    std::size_t line;    // the bad line
    std::string reasonContains;
    std::size_t readable; // runs still written in
};

void PrintTo(const Damage& damage, std::ostream* out)
{
    *out << damage.name;
}

std::string fill(std::string content)
{
    for (const auto& [mark, run] : {std::pair{"{1}", 1}, std::pair{"{2}", 2}})
        for (auto at = content.find(mark); at != std::string::npos; at = content.find(mark))
            content.replace(at, 3, pendingLine(sampleRun(run)));
    return content;
}

class DamagedPendingFile : public PendingRunsTest, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedPendingFile, IsKeptAsItWasNamesTheLineAndTheReadableRunsStillLand)
{
    const std::string content = fill(GetParam().content);
    writeAll(pending(), content);
    ResultsStore store(file());
    const auto result = writeInPendingRuns(store, pending());
    ASSERT_EQ(result.damage.size(), 1U);
    EXPECT_EQ(result.damage[0].line, GetParam().line);
    EXPECT_NE(result.damage[0].reason.find(GetParam().reasonContains), std::string::npos)
        << result.damage[0].reason;
    EXPECT_FALSE(result.removed);
    EXPECT_EQ(readAll(pending()), content) << "left byte for byte for a person to look at";
    EXPECT_EQ(result.writtenIn, GetParam().readable);
    EXPECT_EQ(store.runCount(), static_cast<std::int64_t>(GetParam().readable));

    // The next start writes none of them twice.
    const auto again = writeInPendingRuns(store, pending());
    EXPECT_EQ(again.writtenIn, 0U);
    EXPECT_EQ(again.alreadyThere, GetParam().readable);
    EXPECT_EQ(store.runCount(), static_cast<std::int64_t>(GetParam().readable));
}

std::string withField(const std::string& key, const std::string& value)
{
    auto line = pendingLine(sampleRun(3));
    const auto at = line.find("\"" + key + "\":");
    const auto end = line.find_first_of(",}", at);
    return line.substr(0, at) + "\"" + key + "\":" + value + line.substr(end);
}

std::string without(const std::string& key)
{
    auto line = pendingLine(sampleRun(3));
    const auto at = line.find("\"" + key + "\":");
    const auto end = line.find(',', at);
    return line.substr(0, at) + line.substr(end + 1);
}

std::vector<Damage> damages()
{
    const std::string cut = pendingLine(sampleRun(2)).substr(0, 300);
    return {
        {"CutShortLastLine", "{1}\n" + cut, 2, "cut short", 1},
        {"NotJson", "{1}\nthe printer jammed\n{2}\n", 2, "not JSON", 2},
        {"NotAnObject", "[1, 2, 3]\n{1}\n", 1, "not a JSON object", 1},
        {"MissingRunId", "{1}\n" + without("runId") + "\n", 2, "\"runId\" is missing", 1},
        {"EmptyRunId", withField("runId", "\"\"") + "\n{2}\n", 1, "\"runId\" is empty", 1},
        {"CountAsText", "{1}\n" + withField("cycleCount", "\"5\"") + "\n", 2, "\"cycleCount\"", 1},
        {"CountAsFraction", "{1}\n" + withField("cycleCount", "5.5") + "\n", 2, "\"cycleCount\"", 1},
        {"UnknownVerdict", "{1}\n" + withField("verdict", "\"MAYBE\"") + "\n", 2, "\"verdict\"", 1},
        {"OtherFormat", withField("schema", "\"pending-run-9\"") + "\n{1}\n", 1, "pending-run-1", 1},
        {"ChannelPassAsNumber", "{1}\n" + withField("pass", "1") + "\n", 2, "\"pass\"", 1},
    };
}

INSTANTIATE_TEST_SUITE_P(Results, DamagedPendingFile, testing::ValuesIn(damages()),
                         [](const testing::TestParamInfo<Damage>& p) { return p.param.name; });

TEST_F(PendingRunsTest, BlankLinesAreNoDamage)
{
    writeAll(pending(), "\n" + pendingLine(sampleRun(1)) + "\n\n  \n");
    ResultsStore store(file());
    const auto result = writeInPendingRuns(store, pending());
    EXPECT_TRUE(result.damage.empty());
    EXPECT_EQ(result.writtenIn, 1U);
    EXPECT_TRUE(result.removed);
}

} // namespace
