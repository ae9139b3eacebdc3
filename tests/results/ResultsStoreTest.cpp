#include "ResultsStore.h"

#include "ResultsSchema.h"
#include "SampleRuns.h"
#include "persistence/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class ResultsStoreTest : public TempDirTest {
protected:
    std::filesystem::path file() const { return dir / "results.sqlite"; }
};

TEST_F(ResultsStoreTest, AWrittenRunReadsBackWholeWithEveryChannelRow)
{
    const auto written = sampleRun(1, 16, 64, 2, 13);
    {
        ResultsStore store(file());
        store.write(written);
    }
    ResultsStore store(file());
    const auto read = store.run(written.id);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, written);
    EXPECT_FALSE(read->boards[2].channels[13].pass);
    EXPECT_FALSE(read->boards[0].pearson.has_value());
    EXPECT_EQ(store.database().queryText("PRAGMA journal_mode"), "wal");
}

TEST_F(ResultsStoreTest, TheDefaultFileLivesInTheUsersDataFolder)
{
    const char* savedValue = std::getenv("XDG_DATA_HOME");
    const std::string saved = savedValue != nullptr ? savedValue : "";
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    EXPECT_EQ(defaultResultsFile(), dir / "data" / "stenvikplus" / "results.sqlite");
    ::setenv("XDG_DATA_HOME", "relative/not/allowed", 1);
    ::setenv("HOME", dir.c_str(), 1);
    EXPECT_EQ(defaultResultsFile(), dir / ".local" / "share" / "stenvikplus" / "results.sqlite");
    if (savedValue != nullptr)
        ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST_F(ResultsStoreTest, TheFolderOfANewFileIsCreated)
{
    ResultsStore store(dir / "a" / "b" / "results.sqlite");
    store.write(sampleRun(1));
    EXPECT_EQ(store.runCount(), 1);
}

TEST_F(ResultsStoreTest, LatestRunsComeNewestFirstAndFilterTheirBoards)
{
    ResultsStore store(file());
    for (int i = 1; i <= 5; ++i)
        store.write(sampleRun(i, 4, 8, i == 2 || i == 4 ? 3 : -1));

    const auto all = store.latestRuns({});
    ASSERT_EQ(all.size(), 5U);
    EXPECT_EQ(all.front().id, sampleRun(5).id);
    EXPECT_EQ(all.front().boards.size(), 4U);
    EXPECT_TRUE(all.front().boards.front().channels.empty()) << "the list carries no channel rows";

    ResultsStore::Filter fail;
    fail.verdict = RunVerdict::Fail;
    const auto failing = store.latestRuns(fail);
    ASSERT_EQ(failing.size(), 2U);
    EXPECT_EQ(failing[0].id, sampleRun(4).id);
    ASSERT_EQ(failing[0].boards.size(), 1U);
    EXPECT_EQ(failing[0].boards[0].index, 3);

    ResultsStore::Filter serial;
    serial.serial = "SN-3-1";
    const auto bySerial = store.latestRuns(serial);
    ASSERT_EQ(bySerial.size(), 1U);
    EXPECT_EQ(bySerial[0].boards.at(0).serial, "SN-3-1");

    ResultsStore::Filter latestTwo;
    latestTwo.limit = 2;
    EXPECT_EQ(store.latestRuns(latestTwo).size(), 2U);

    ResultsStore::Filter since;
    since.since = sampleRun(4).startedAt;
    EXPECT_EQ(store.latestRuns(since).size(), 2U);
}

// A version 1 file as the first station release wrote it, with one run in it.
void makeVersion1File(const std::filesystem::path& file)
{
    sqlite::Database db(file, sqlite::Database::Mode::ReadWriteCreate, std::chrono::milliseconds(1000));
    results_schema::migrate(db, 1);
    db.exec("INSERT INTO test_run VALUES ('run-1', '2026-01-02T03:04:05.678Z', '2026-01-02T03:04:06.001Z', "
            "'bench-1', 'GUID1', 'TRIVELLAV2', '0.0.5.6', '1.0.0', 'hash', 5)");
    db.exec("INSERT INTO board_result VALUES ('run-1', 3, 0, 3, 'SN-9', 'FAIL', 2, 0.5, 0.9)");
    db.exec("INSERT INTO channel_result VALUES ('run-1', 3, 13, 0, 1000, 900, 1100, 1200.5, 1190, 1210, "
            "7.25, 0)");
}

TEST_F(ResultsStoreTest, MigrationFromVersionOneKeepsEveryRun)
{
    makeVersion1File(file());
    ResultsStore store(file());
    EXPECT_EQ(results_schema::version(store.database()), results_schema::kCurrentVersion);

    const auto run = store.run("run-1");
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->startedAt, "2026-01-02T03:04:05.678Z");
    EXPECT_EQ(run->stationId, "bench-1");
    EXPECT_EQ(run->operatorName, "") << "runs of version 1 had no operator";
    EXPECT_EQ(run->cycleCount, 5);
    ASSERT_EQ(run->boards.size(), 1U);
    const auto& board = run->boards[0];
    EXPECT_EQ(board.index, 3);
    EXPECT_EQ(board.serial, "SN-9");
    EXPECT_EQ(board.verdict, RunVerdict::Fail);
    EXPECT_EQ(board.failedCycles, 2);
    EXPECT_EQ(board.pearson, 0.5);
    ASSERT_EQ(board.channels.size(), 1U);
    EXPECT_EQ(board.channels[0].channel, 13);
    EXPECT_EQ(board.channels[0].mean, 1200.5);
    EXPECT_FALSE(board.channels[0].pass);

    // The migrated file takes new runs with the fields of version 2.
    store.write(sampleRun(7));
    EXPECT_EQ(store.run(sampleRun(7).id)->operatorName, "anna");
    EXPECT_EQ(store.database().queryText("PRAGMA integrity_check"), "ok");
}

TEST_F(ResultsStoreTest, AFileOfANewerSchemaIsRefusedAndLeftAsItIs)
{
    {
        sqlite::Database db(file(), sqlite::Database::Mode::ReadWriteCreate, std::chrono::milliseconds(1000));
        db.exec("PRAGMA user_version = 99");
    }
    EXPECT_THROW(ResultsStore store(file()), sqlite::SqliteError);
    sqlite::Database db(file(), sqlite::Database::Mode::ReadOnly, std::chrono::milliseconds(1000));
    EXPECT_EQ(results_schema::version(db), 99);
}

TEST_F(ResultsStoreTest, AFailedWriteLeavesNoPartOfTheRun)
{
    ResultsStore store(file());
    auto run = sampleRun(1, 4, 8);
    run.boards[3].index = 2; // the same key twice: the fourth board cannot be stored
    EXPECT_THROW(store.write(run), sqlite::SqliteError);
    EXPECT_EQ(store.runCount(), 0);
    EXPECT_EQ(store.boardResultCount(), 0);
    store.write(sampleRun(2));
    EXPECT_EQ(store.runCount(), 1);
}

struct SinceCase {
    std::string name;
    std::string text;
    std::optional<std::string> expected;
};

class IsoSince : public testing::TestWithParam<SinceCase> {};

TEST_P(IsoSince, GivesTheStoredFormOrRefuses)
{
    EXPECT_EQ(isoSince(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Results, IsoSince,
    testing::Values(SinceCase{"Date", "2026-03-01", "2026-03-01"},
                    SinceCase{"DateAndMinute", "2026-03-01T08:15", "2026-03-01T08:15"},
                    SinceCase{"BlankForT", "2026-03-01 08:15:02", "2026-03-01T08:15:02"},
                    SinceCase{"MillisecondsAndZ", "2026-03-01T08:15:02.123Z", "2026-03-01T08:15:02.123"},
                    SinceCase{"DayFirst", "01.03.2026", std::nullopt},
                    SinceCase{"Month13", "2026-13-01", std::nullopt},
                    SinceCase{"Hour24", "2026-03-01T24:00", std::nullopt},
                    SinceCase{"ShortYear", "26-03-01", std::nullopt}, SinceCase{"Empty", "", std::nullopt},
                    SinceCase{"Words", "yesterday", std::nullopt}),
    [](const testing::TestParamInfo<SinceCase>& p) { return p.param.name; });

TEST_F(ResultsStoreTest, ADateSelectsFromTheStartOfThatDay)
{
    ResultsStore store(file());
    auto run = sampleRun(1);
    run.startedAt = "2026-03-01T00:00:00.000Z";
    store.write(run);
    ResultsStore::Filter since;
    since.since = *isoSince("2026-03-01");
    EXPECT_EQ(store.latestRuns(since).size(), 1U);
    since.since = *isoSince("2026-03-01 00:00:01");
    EXPECT_EQ(store.latestRuns(since).size(), 0U);
}

} // namespace
