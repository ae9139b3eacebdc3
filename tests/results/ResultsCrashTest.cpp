#include "ResultsStore.h"
#include "SampleRuns.h"
#include "persistence/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

class ResultsCrashTest : public TempDirTest, public testing::WithParamInterface<int> {};

// A child process writes 16 x 64 runs back to back and is killed without warning after the
// given number of runs have landed: the file must be sound and hold only whole runs.
TEST_P(ResultsCrashTest, AKilledWriterLeavesOnlyWholeRuns)
{
    const auto file = dir / "results.sqlite";
    {
        ResultsStore create(file);
    }
    const int runsBeforeKill = GetParam();

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        try {
            ResultsStore store(file);
            for (int i = 1;; ++i)
                store.write(sampleRun(i, 16, 64, i % 3 == 0 ? 5 : -1));
        } catch (...) {
        }
        ::_exit(1);
    }

    {
        ResultsStore::Options reader;
        reader.readOnly = true;
        ResultsStore watch(file, reader);
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (watch.runCount() < runsBeforeKill && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer was still writing when it was killed";

    ResultsStore store(file);
    EXPECT_EQ(store.database().queryText("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(
        store.database().queryInt("SELECT COUNT(*) FROM (SELECT run_id FROM board_result GROUP BY run_id "
                                  "HAVING COUNT(*) <> 16)"),
        0);
    EXPECT_EQ(
        store.database().queryInt("SELECT COUNT(*) FROM (SELECT run_id, board_index FROM channel_result "
                                  "GROUP BY run_id, board_index HAVING COUNT(*) <> 64)"),
        0);
    EXPECT_EQ(store.database().queryInt("SELECT COUNT(*) FROM test_run r WHERE NOT EXISTS "
                                        "(SELECT 1 FROM board_result b WHERE b.run_id = r.run_id)"),
              0);
    const auto runs = store.runCount();
    EXPECT_GE(runs, runsBeforeKill);
    // The runs that landed are the first ones, each exactly as written.
    for (int i = 1; i <= runs; i += 7)
        EXPECT_EQ(*store.run(sampleRun(i).id), sampleRun(i, 16, 64, i % 3 == 0 ? 5 : -1)) << "run " << i;
}

INSTANTIATE_TEST_SUITE_P(Results, ResultsCrashTest, testing::Values(1, 5, 20, 40),
                         [](const testing::TestParamInfo<int>& p) {
                             return "After" + std::to_string(p.param) + "Runs";
                         });

} // namespace
