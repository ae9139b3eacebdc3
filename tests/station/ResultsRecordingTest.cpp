// Test runs taken by the station against the simulated head: what a run carries besides the
// cycles (head identity, setup hash, station) and what happens when the setup cannot be read.
#include "station/ResultsRecording.h"

#include "StationRig.h"
#include "persistence/TempDir.h"
#include "results/PendingRuns.h"
#include "results/ResultsStore.h"
#include "results/SetupHash.h"
#include "station/KeptResultsTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

using namespace std::chrono_literals;

namespace {

RecorderCycle passingCycle(int cycle)
{
    RecorderCycle c;
    c.time = std::chrono::system_clock::now();
    for (int k = 0; k < 4; ++k) {
        RecorderBoard board;
        board.index = k;
        board.row = k / 2;
        board.col = k % 2;
        board.verdict = RunVerdict::Pass;
        board.channels.resize(
            40, RecorderChannel{0, 1000, 900, 1100, static_cast<std::uint16_t>(1000 + cycle), true});
        c.boards.push_back(board);
    }
    return c;
}

class ResultsRecordingTest : public TempDirTest {
protected:
    std::filesystem::path file() const { return dir / "results.sqlite"; }
};

TEST_F(ResultsRecordingTest, ARunCarriesTheHeadsIdentityAndTheHashOfItsSetup)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.stopLoop()); // only the cycles fed below
    std::atomic<int> recorded{0};
    station::ResultsRecording::Callbacks callbacks;
    callbacks.recorded = [&](const TestRun&) { ++recorded; };
    station::ResultsRecording recording(rig.ctx, file(), callbacks);
    recording.setCycles(3);
    recording.setOperator("anna");

    ASSERT_TRUE(recording.startRun({{1, "SN-B"}}));
    EXPECT_FALSE(recording.startRun()) << "one run at a time";
    // Cycles count only once the run is armed (the setup has been read).
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    int cycle = 0;
    while (recorded == 0 && std::chrono::steady_clock::now() < deadline) {
        recording.feed(passingCycle(cycle++));
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(recorded, 1);

    ResultsStore store(file());
    const auto runs = store.latestRuns({});
    ASSERT_EQ(runs.size(), 1U);
    const auto run = *store.run(runs[0].id);
    EXPECT_EQ(run.cycleCount, 3);
    EXPECT_EQ(run.deviceType, "TRIVELLAV2");
    EXPECT_EQ(run.operatorName, "anna");
    EXPECT_EQ(run.stationId, station::hostName());
    EXPECT_FALSE(run.headGuid.empty());
    EXPECT_FALSE(run.firmwareVersion.empty());
    EXPECT_FALSE(run.stationVersion.empty());
    const auto image = readSetupImage(rig.ops);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(run.setupHash, setupHash(*image));
    ASSERT_EQ(run.boards.size(), 4U);
    EXPECT_EQ(run.boards[1].serial, "SN-B");
    EXPECT_EQ(run.boards[0].serial, "");
}

TEST_F(ResultsRecordingTest, ARecordedRunMatchesTheVerdictsAndCountsOfTheCyclesItTook)
{
    StationRig rig; // demo head: 2 x 2 boards of 40 channels, channel 13 of the last board fails
    ASSERT_TRUE(rig.startRunning());

    std::mutex mutex;
    std::vector<display::CycleResult> seen;
    const auto token = rig.ctx.cycles.subscribe([&](const display::CycleResult& r) {
        const std::lock_guard lock(mutex);
        seen.push_back(r);
    });
    std::atomic<int> recorded{0};
    station::ResultsRecording::Callbacks callbacks;
    callbacks.recorded = [&](const TestRun&) { ++recorded; };
    station::ResultsRecording recording(rig.ctx, file(), callbacks);
    ASSERT_TRUE(recording.startRun());
    ASSERT_TRUE(rig.pump([&] { return recorded == 1; }));
    rig.ctx.cycles.unsubscribe(token);

    ResultsStore store(file());
    const auto run = *store.run(store.latestRuns({}).at(0).id);
    EXPECT_EQ(run.cycleCount, 5);
    // The cycles of the run, by their times.
    std::vector<display::CycleResult> taken;
    for (const auto& r : seen)
        if (isoTime(r.time) >= run.startedAt && isoTime(r.time) <= run.endedAt)
            taken.push_back(r);
    ASSERT_EQ(taken.size(), 5U);

    ASSERT_EQ(run.boards.size(), 4U);
    for (const auto& board : run.boards) {
        SCOPED_TRACE("board " + std::to_string(board.index));
        int failed = 0;
        for (const auto& cycle : taken)
            failed +=
                cycle.boards.at(static_cast<std::size_t>(board.index)).state == display::BoardVerdict::Fail;
        EXPECT_EQ(board.failedCycles, failed);
        EXPECT_EQ(board.verdict, board.index == 3 ? RunVerdict::Fail : RunVerdict::Pass);
        ASSERT_EQ(board.channels.size(), 40U);
        for (const auto& channel : board.channels) {
            int low = 65535;
            int high = 0;
            double sum = 0;
            bool pass = true;
            for (const auto& cycle : taken) {
                const auto& c = cycle.boards.at(static_cast<std::size_t>(board.index))
                                    .channels.at(static_cast<std::size_t>(channel.channel));
                low = std::min<int>(low, c.count);
                high = std::max<int>(high, c.count);
                sum += c.count;
                pass = pass && c.pass;
                EXPECT_EQ(channel.reference, c.reference);
                EXPECT_EQ(channel.low, c.low);
                EXPECT_EQ(channel.high, c.high);
            }
            EXPECT_EQ(channel.min, low) << channel.channel;
            EXPECT_EQ(channel.max, high) << channel.channel;
            EXPECT_DOUBLE_EQ(channel.mean, sum / 5.0) << channel.channel;
            EXPECT_EQ(channel.pass, pass) << channel.channel;
            EXPECT_EQ(channel.pass, !(board.index == 3 && channel.channel == 13)) << channel.channel;
        }
    }
    EXPECT_EQ(run.boards[3].failedCycles, 5);
}

TEST_F(ResultsRecordingTest, ARunThatCannotReadTheSetupDoesNotStartAndSaysSo)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.stopLoop());
    std::atomic<int> notStarted{0};
    station::ResultsRecording::Callbacks callbacks;
    callbacks.notStarted = [&](const std::string&) { ++notStarted; };
    station::ResultsRecording recording(rig.ctx, file(), callbacks);
    rig.head->unplug();
    ASSERT_TRUE(recording.startRun());
    ASSERT_TRUE(rig.pump([&] { return notStarted == 1; }));
    EXPECT_FALSE(recording.busy());
    recording.feed(passingCycle(0));
    EXPECT_FALSE(std::filesystem::exists(file()) && ResultsStore(file()).runCount() > 0);
}

// The end of the window or the tool while another program holds the results file locked: the
// run just taken is kept beside the file and lands at the next start.
TEST_F(ResultsRecordingTest, ARunNotWrittenAtTheEndIsKeptAndWrittenInAtTheNextStart)
{
    StationRig rig;
    ASSERT_TRUE(rig.startRunning());
    ASSERT_TRUE(rig.stopLoop());
    {
        ResultsStore create(file());
    }
    sqlite::Database other(file(), sqlite::Database::Mode::ReadWriteCreate, 0ms);
    other.exec("BEGIN EXCLUSIVE");

    ResultsWriter::Options options;
    options.busyTimeout = 100ms;
    std::atomic<int> problems{0};
    std::optional<PendingKept> kept;
    std::string runId;
    station::ResultsRecording::Callbacks callbacks;
    callbacks.problem = [&](const std::string&, std::size_t) { ++problems; };
    callbacks.keptAtExit = [&](const PendingKept& k) { kept = k; };
    {
        station::ResultsRecording recording(rig.ctx, file(), callbacks, options);
        recording.setCycles(2);
        ASSERT_TRUE(recording.startRun({{0, "SN-KEPT"}}));
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        for (int cycle = 0; problems == 0 && std::chrono::steady_clock::now() < deadline; ++cycle) {
            recording.feed(passingCycle(cycle));
            std::this_thread::sleep_for(5ms);
        }
        ASSERT_EQ(problems, 1) << "the run was taken and could not be written";
        // ~ResultsRecording, as the window closes or the tool ends.
    }
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(kept->kept) << kept->keepFailure;
    EXPECT_EQ(kept->count, 1U);
    EXPECT_EQ(kept->file, pendingRunsFile(file()));
    const std::string keptText = station::keptAtExitText(*kept, file(), true);
    EXPECT_NE(keptText.find("1 test result(s)"), std::string::npos) << keptText;
    EXPECT_NE(keptText.find(pendingRunsFile(file()).string()), std::string::npos) << keptText;

    other.exec("COMMIT");
    std::optional<PendingWriteIn> writtenIn;
    callbacks = {};
    callbacks.pendingWrittenIn = [&](const PendingWriteIn& w) { writtenIn = w; };
    {
        station::ResultsRecording next(rig.ctx, file(), callbacks, options);
        ASSERT_TRUE(next.writer().waitUntilWritten(10s));
    }
    ASSERT_TRUE(writtenIn.has_value());
    EXPECT_EQ(writtenIn->writtenIn, 1U);
    EXPECT_EQ(station::keptWrittenInText(*writtenIn, file(), pendingRunsFile(file()), false),
              "上次退出时暂存的 1 个测试结果已保存到 " + file().string() + "。");
    ResultsStore store(file());
    const auto runs = store.latestRuns({});
    ASSERT_EQ(runs.size(), 1U);
    const auto run = *store.run(runs[0].id);
    EXPECT_EQ(run.cycleCount, 2);
    ASSERT_EQ(run.boards.size(), 4U);
    EXPECT_EQ(run.boards[0].serial, "SN-KEPT");
    EXPECT_EQ(run.boards[0].channels.size(), 40U);
    EXPECT_FALSE(std::filesystem::exists(pendingRunsFile(file())));
}

// Placeholders are filled once: a folder named like a placeholder stays as it is.
struct Filling {
    std::string name;
    std::string text;
    std::vector<std::string> values;
    std::string filled;
};

void PrintTo(const Filling& f, std::ostream* out)
{
    *out << f.name;
}

class KeptResultsText : public testing::TestWithParam<Filling> {};

TEST_P(KeptResultsText, FillsEachPlaceholderOnce)
{
    EXPECT_EQ(station::fillPlaceholders(GetParam().text, GetParam().values), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeptResultsText,
    testing::Values(Filling{"InOrder", "%1 in %2", {"3", "/data"}, "3 in /data"},
                    Filling{"OutOfOrder", "%2 holds %1", {"3", "/data"}, "/data holds 3"},
                    Filling{"ValueLooksLikeAPlaceholder", "%1 in %2", {"%2", "/data/%1"}, "%2 in /data/%1"},
                    Filling{"PercentSignAlone", "100% of %1", {"3"}, "100% of 3"},
                    Filling{"PlaceholderWithoutValue", "%1 and %3", {"a"}, "a and %3"},
                    Filling{"PercentAtTheEnd", "%1%", {"a"}, "a%"}),
    [](const testing::TestParamInfo<Filling>& p) { return p.param.name; });

} // namespace
