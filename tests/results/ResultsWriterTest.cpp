#include "ResultsWriter.h"

#include "PendingRuns.h"
#include "ResultsStore.h"
#include "SampleRuns.h"
#include "persistence/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// What keeps the file from being written, and how it is lifted again.
struct Outage {
    std::string name;
    std::string reasonContains; // in the reported message
    std::function<void(class ResultsWriterOutage&)> begin;
    std::function<void(class ResultsWriterOutage&)> end;
};

void PrintTo(const Outage& outage, std::ostream* out)
{
    *out << outage.name;
}

class ResultsWriterOutage : public TempDirTest, public testing::WithParamInterface<Outage> {
public:
    std::filesystem::path file() const { return dir / "store" / "results.sqlite"; }

    std::atomic<bool> readOnly{false};
    std::unique_ptr<sqlite::Database> locker;

protected:
    void TearDown() override
    {
        locker.reset();
        TempDirTest::TearDown();
    }
};

std::vector<Outage> outages()
{
    return {
        {"FolderCannotBeCreated", "cannot create the folder",
         [](ResultsWriterOutage& t) { std::ofstream(t.file().parent_path()) << "a file in the way"; },
         [](ResultsWriterOutage& t) { std::filesystem::remove(t.file().parent_path()); }},
        {"ReadOnlyDatabase", "readonly",
         [](ResultsWriterOutage& t) {
             ResultsStore create(t.file()); // exists with its schema
             t.readOnly = true;
         },
         [](ResultsWriterOutage& t) { t.readOnly = false; }},
        {"LockedByAnotherProgram", "locked",
         [](ResultsWriterOutage& t) {
             {
                 ResultsStore create(t.file());
             }
             t.locker = std::make_unique<sqlite::Database>(t.file(), sqlite::Database::Mode::ReadWriteCreate,
                                                           std::chrono::milliseconds(0));
             t.locker->exec("BEGIN EXCLUSIVE");
         },
         [](ResultsWriterOutage& t) { t.locker->exec("COMMIT"); }},
    };
}

TEST_P(ResultsWriterOutage, GivesOneMessageKeepsTheRunsAndWritesThemOnceTheFileWorks)
{
    GetParam().begin(*this);

    std::mutex mutex;
    std::vector<std::string> problems;
    std::atomic<int> recovered{0};
    std::atomic<int> attempts{0};
    ResultsWriter::Callbacks callbacks;
    callbacks.problem = [&](const std::string& reason, std::size_t) {
        const std::lock_guard lock(mutex);
        problems.push_back(reason);
    };
    callbacks.recovered = [&] { ++recovered; };
    ResultsWriter::Options options;
    options.retryInterval = 5ms;
    options.busyTimeout = 20ms;
    ResultsWriter writer(
        [&]() {
            ++attempts;
            ResultsStore::Options storeOptions;
            storeOptions.readOnly = readOnly.load();
            storeOptions.busyTimeout = options.busyTimeout;
            return std::make_unique<ResultsStore>(file(), storeOptions);
        },
        callbacks, options);

    for (int i = 1; i <= 3; ++i)
        writer.submit(sampleRun(i, 16, 64));
    // Several attempts fail while the outage lasts; testing goes on meanwhile.
    while (attempts < 5)
        std::this_thread::sleep_for(1ms);
    writer.submit(sampleRun(4, 16, 64));
    EXPECT_FALSE(writer.waitUntilWritten(20ms));
    EXPECT_EQ(writer.waiting(), 4U) << "nothing is dropped while the file cannot be written";
    {
        const std::lock_guard lock(mutex);
        ASSERT_EQ(problems.size(), 1U) << "one message per outage, not one per attempt";
        EXPECT_NE(problems[0].find(GetParam().reasonContains), std::string::npos) << problems[0];
    }

    GetParam().end(*this);
    writer.retryNow();
    ASSERT_TRUE(writer.waitUntilWritten(10s));
    EXPECT_EQ(recovered, 1);

    ResultsStore check(file());
    EXPECT_EQ(check.runCount(), 4);
    EXPECT_EQ(check.boardResultCount(), 64);
    EXPECT_EQ(*check.run(sampleRun(4).id), sampleRun(4, 16, 64));
    const std::lock_guard lock(mutex);
    EXPECT_EQ(problems.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Results, ResultsWriterOutage, testing::ValuesIn(outages()),
                         [](const testing::TestParamInfo<Outage>& p) { return p.param.name; });

class ResultsWriterTest : public TempDirTest {};

TEST_F(ResultsWriterTest, WritesRunsInTheOrderSubmitted)
{
    std::vector<std::string> written;
    std::mutex mutex;
    ResultsWriter::Callbacks callbacks;
    callbacks.written = [&](const TestRun& run) {
        const std::lock_guard lock(mutex);
        written.push_back(run.id);
    };
    {
        ResultsWriter writer(dir / "results.sqlite", callbacks, {});
        for (int i = 1; i <= 20; ++i)
            writer.submit(sampleRun(i));
        // The destructor writes what still waits.
    }
    ASSERT_EQ(written.size(), 20U);
    for (int i = 1; i <= 20; ++i)
        EXPECT_EQ(written[static_cast<std::size_t>(i - 1)], sampleRun(i).id);
    ResultsStore check(dir / "results.sqlite");
    EXPECT_EQ(check.runCount(), 20);
}

// What keeps the file from taking runs until the program ends, and how it is lifted before
// the next start. The folder stays writable, so the runs can be kept beside the file.
struct EndFault {
    std::string name;
    std::function<void(class ResultsWriterAtExit&)> begin;
    std::function<void(class ResultsWriterAtExit&)> end;
};

void PrintTo(const EndFault& fault, std::ostream* out)
{
    *out << fault.name;
}

class ResultsWriterAtExit : public TempDirTest, public testing::WithParamInterface<EndFault> {
public:
    std::filesystem::path file() const { return dir / "results.sqlite"; }
    std::filesystem::path pending() const { return dir / "results.sqlite.pending.jsonl"; }

    std::unique_ptr<sqlite::Database> other; // another program's connection

    static ResultsWriter::Options quick()
    {
        ResultsWriter::Options options;
        options.retryInterval = 5ms;
        options.busyTimeout = 50ms;
        return options;
    }

protected:
    void TearDown() override
    {
        other.reset();
        TempDirTest::TearDown();
    }
};

std::vector<EndFault> endFaults()
{
    const auto connect = [](ResultsWriterAtExit& t) {
        {
            ResultsStore create(t.file());
        }
        t.other = std::make_unique<sqlite::Database>(t.file(), sqlite::Database::Mode::ReadWriteCreate,
                                                     std::chrono::milliseconds(0));
    };
    return {
        {"LockedByAnotherProgram",
         [connect](ResultsWriterAtExit& t) {
             connect(t);
             t.other->exec("BEGIN EXCLUSIVE");
         },
         [](ResultsWriterAtExit& t) { t.other->exec("COMMIT"); }},
        // A newer program version has been at the file: this one leaves it alone.
        {"NewerSchemaVersion",
         [connect](ResultsWriterAtExit& t) {
             connect(t);
             t.other->exec("PRAGMA user_version = 99");
         },
         [](ResultsWriterAtExit& t) { t.other->exec("PRAGMA user_version = 2"); }},
    };
}

TEST_P(ResultsWriterAtExit, RunsNotWrittenBeforeTheEndAreWrittenInAtTheNextStart)
{
    GetParam().begin(*this);
    {
        ResultsWriter writer(file(), {}, quick());
        writer.submit(sampleRun(1, 16, 64, 3));
        writer.submit(sampleRun(2, 16, 64));
        // The window closes, or the tool ends, while the runs still wait.
    }
    GetParam().end(*this);
    other.reset();

    ResultsWriter next(file(), {}, quick());
    ASSERT_TRUE(next.waitUntilWritten(10s));
    ResultsStore check(file());
    ASSERT_EQ(check.runCount(), 2) << "the runs tested before the end are in the file";
    EXPECT_EQ(*check.run(sampleRun(1).id), sampleRun(1, 16, 64, 3));
    EXPECT_EQ(*check.run(sampleRun(2).id), sampleRun(2, 16, 64));
    EXPECT_FALSE(std::filesystem::exists(pending())) << "the kept runs are written in once";
}

TEST_P(ResultsWriterAtExit, TheEndSaysHowManyRunsAreKeptAndWhereAndTheStartSaysTheyLanded)
{
    GetParam().begin(*this);
    std::vector<PendingKept> kept;
    std::string reason;
    ResultsWriter::Callbacks callbacks;
    callbacks.keptAtExit = [&](const PendingKept& k) { kept.push_back(k); };
    callbacks.problem = [&](const std::string& r, std::size_t) { reason = r; };
    {
        ResultsWriter writer(file(), callbacks, quick());
        for (int i = 1; i <= 3; ++i)
            writer.submit(sampleRun(i));
    }
    ASSERT_EQ(kept.size(), 1U);
    EXPECT_TRUE(kept[0].kept) << kept[0].keepFailure;
    EXPECT_EQ(kept[0].count, 3U);
    EXPECT_EQ(kept[0].file, pending());
    EXPECT_EQ(kept[0].writeFailure, reason);
    EXPECT_EQ(pendingRunCount(pending()), 3U);

    GetParam().end(*this);
    other.reset();
    std::vector<PendingWriteIn> writtenIn;
    ResultsWriter::Callbacks startCallbacks;
    startCallbacks.pendingWrittenIn = [&](const PendingWriteIn& w) { writtenIn.push_back(w); };
    std::vector<PendingKept> keptAgain;
    startCallbacks.keptAtExit = [&](const PendingKept& k) { keptAgain.push_back(k); };
    {
        ResultsWriter next(file(), startCallbacks, quick());
        ASSERT_TRUE(next.waitUntilWritten(10s));
        next.submit(sampleRun(4));
    }
    ASSERT_EQ(writtenIn.size(), 1U);
    EXPECT_EQ(writtenIn[0].writtenIn, 3U);
    EXPECT_EQ(writtenIn[0].alreadyThere, 0U);
    EXPECT_TRUE(writtenIn[0].damage.empty());
    EXPECT_TRUE(writtenIn[0].removed);
    EXPECT_TRUE(keptAgain.empty()) << "nothing left to keep at a clean end";
    EXPECT_EQ(ResultsStore(file()).runCount(), 4);
}

TEST_P(ResultsWriterAtExit, AStartWhileTheFileStillFailsKeepsTheEarlierRunsAndAddsItsOwn)
{
    GetParam().begin(*this);
    {
        ResultsWriter first(file(), {}, quick());
        first.submit(sampleRun(1));
    }
    std::atomic<std::size_t> waitingReported{0};
    ResultsWriter::Callbacks callbacks;
    callbacks.problem = [&](const std::string&, std::size_t waiting) { waitingReported = waiting; };
    {
        ResultsWriter second(file(), callbacks, quick());
        for (int i = 0; i < 1000 && waitingReported == 0; ++i)
            std::this_thread::sleep_for(10ms);
        EXPECT_FALSE(second.waitUntilWritten(0ms));
        EXPECT_EQ(waitingReported, 1U) << "the run kept at the first end counts among those waiting";
        second.submit(sampleRun(2));
    }
    EXPECT_EQ(pendingRunCount(pending()), 2U);

    GetParam().end(*this);
    other.reset();
    ResultsWriter third(file(), {}, quick());
    ASSERT_TRUE(third.waitUntilWritten(10s));
    ResultsStore check(file());
    EXPECT_EQ(check.runCount(), 2);
    EXPECT_FALSE(std::filesystem::exists(pending()));
}

INSTANTIATE_TEST_SUITE_P(Results, ResultsWriterAtExit, testing::ValuesIn(endFaults()),
                         [](const testing::TestParamInfo<EndFault>& p) { return p.param.name; });

TEST_F(ResultsWriterTest, RunsThatCannotBeKeptEitherAreReportedAsLost)
{
    // The folder of the file is a file: neither the results nor the pending file can be made.
    const auto folder = dir / "gone";
    writeAll(folder, "a file in the way");
    std::vector<PendingKept> kept;
    ResultsWriter::Callbacks callbacks;
    callbacks.keptAtExit = [&](const PendingKept& k) { kept.push_back(k); };
    {
        ResultsWriter writer(folder / "results.sqlite", callbacks, ResultsWriterAtExit::quick());
        writer.submit(sampleRun(1));
        writer.submit(sampleRun(2));
    }
    ASSERT_EQ(kept.size(), 1U);
    EXPECT_FALSE(kept[0].kept);
    EXPECT_EQ(kept[0].count, 2U);
    EXPECT_NE(kept[0].writeFailure.find("cannot create the folder"), std::string::npos)
        << kept[0].writeFailure;
    EXPECT_NE(kept[0].keepFailure.find("results.sqlite.pending.jsonl"), std::string::npos)
        << kept[0].keepFailure;
}

TEST_F(ResultsWriterTest, ADamagedPendingFileIsReportedKeptAndTheStationGoesOnRecording)
{
    const auto file = dir / "results.sqlite";
    const std::string damaged = pendingLine(sampleRun(1)) + "\n{\"schema\": \"pending-run-1\", \"runId\": ";
    writeAll(pendingRunsFile(file), damaged);
    std::vector<PendingWriteIn> writtenIn;
    ResultsWriter::Callbacks callbacks;
    callbacks.pendingWrittenIn = [&](const PendingWriteIn& w) { writtenIn.push_back(w); };
    {
        ResultsWriter writer(file, callbacks, {});
        writer.submit(sampleRun(2));
        ASSERT_TRUE(writer.waitUntilWritten(10s));
    }
    ASSERT_EQ(writtenIn.size(), 1U);
    EXPECT_EQ(writtenIn[0].writtenIn, 1U);
    ASSERT_EQ(writtenIn[0].damage.size(), 1U);
    EXPECT_EQ(writtenIn[0].damage[0].line, 2U);
    EXPECT_FALSE(writtenIn[0].removed);
    EXPECT_EQ(readAll(pendingRunsFile(file)), damaged) << "kept as it was for a person to look at";
    EXPECT_EQ(ResultsStore(file).runCount(), 2);
}

} // namespace
