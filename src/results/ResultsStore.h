#pragma once

#include "ResultRecords.h"
#include "Sqlite.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The results file: an SQLite database in WAL mode, brought to the current schema when opened.
// write() stores one whole run in one transaction, so a reader (or a crash) sees a run either
// whole or not at all. Not thread-safe: one thread uses one store.
class ResultsStore {
public:
    struct Options {
        bool readOnly = false;
        // How long a write waits for another program's lock before it fails.
        std::chrono::milliseconds busyTimeout{2000};
    };

    // Which board results a query returns. Empty / nullopt fields do not filter.
    struct Filter {
        std::string serial;
        std::optional<RunVerdict> verdict;
        std::string since; // runs started at or after this ISO time (a date alone works too)
        int limit = 1000;  // latest runs; the export ignores it
    };

    // Opens or creates the file (and its folder). Throws sqlite::SqliteError.
    explicit ResultsStore(const std::filesystem::path& file);
    ResultsStore(const std::filesystem::path& file, Options options);

    void write(const TestRun& run);
    // Writes the run unless a run with its id is already stored (checked in the same
    // transaction); false when it was there.
    bool writeIfAbsent(const TestRun& run);

    // The latest runs (newest first) that hold a board result matching the filter, with only
    // the matching board results and without channel rows.
    std::vector<TestRun> latestRuns(const Filter& filter);
    // The channel rows of one board result, in channel order.
    std::vector<ChannelResult> channels(const std::string& runId, int boardIndex);
    // One run with every board and channel row.
    std::optional<TestRun> run(const std::string& runId);

    // Every board result matching filter.serial and filter.since (oldest first), each with its
    // channel rows and the fields of its run (TestRun::boards holds just that board).
    void forEachBoardResult(const Filter& filter, const std::function<void(const TestRun&)>& visit);

    std::int64_t runCount();
    std::int64_t boardResultCount();

    sqlite::Database& database() { return db_; }

private:
    void insert(const TestRun& run);
    TestRun readRunRow(sqlite::Statement& statement);

    sqlite::Database db_;
    // Prepared once the schema is in place.
    std::optional<sqlite::Statement> insertRun_;
    std::optional<sqlite::Statement> insertBoard_;
    std::optional<sqlite::Statement> insertChannel_;
    std::optional<sqlite::Statement> selectChannels_;
    std::optional<sqlite::Statement> runExists_;
};

// $XDG_DATA_HOME/stenvikplus/results.sqlite, or ~/.local/share/... when XDG_DATA_HOME is unset
// or not absolute.
std::filesystem::path defaultResultsFile();
