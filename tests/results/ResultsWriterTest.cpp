#include "ResultsWriter.h"

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

} // namespace
