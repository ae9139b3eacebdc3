#include "ResultsSchema.h"

#include <array>
#include <sqlite3.h>
#include <string>

namespace results_schema {

namespace {

// Version 1: runs, board results and channel results.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE test_run (
    run_id           TEXT    NOT NULL PRIMARY KEY,
    started_at       TEXT    NOT NULL,
    ended_at         TEXT    NOT NULL,
    station_id       TEXT    NOT NULL,
    head_guid        TEXT    NOT NULL,
    device_type      TEXT    NOT NULL,
    firmware_version TEXT    NOT NULL,
    station_version  TEXT    NOT NULL,
    setup_hash       TEXT    NOT NULL,
    cycle_count      INTEGER NOT NULL
);
CREATE INDEX test_run_started_at ON test_run (started_at);
CREATE TABLE board_result (
    run_id            TEXT    NOT NULL REFERENCES test_run (run_id),
    board_index       INTEGER NOT NULL,
    position_row      INTEGER NOT NULL,
    position_col      INTEGER NOT NULL,
    serial            TEXT    NOT NULL,
    verdict           TEXT    NOT NULL,
    failed_cycles     INTEGER NOT NULL,
    pearson           REAL,
    pearson_threshold REAL,
    PRIMARY KEY (run_id, board_index)
);
CREATE TABLE channel_result (
    run_id      TEXT    NOT NULL,
    board_index INTEGER NOT NULL,
    channel     INTEGER NOT NULL,
    mode        INTEGER NOT NULL,
    reference   INTEGER NOT NULL,
    low_limit   INTEGER NOT NULL,
    high_limit  INTEGER NOT NULL,
    mean        REAL    NOT NULL,
    min_count   INTEGER NOT NULL,
    max_count   INTEGER NOT NULL,
    sd          REAL    NOT NULL,
    pass        INTEGER NOT NULL,
    PRIMARY KEY (run_id, board_index, channel),
    FOREIGN KEY (run_id, board_index) REFERENCES board_result (run_id, board_index)
);
)sql";

// Version 2: the operator of a run, and indexes for looking up a serial and a verdict.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE test_run ADD COLUMN operator_name TEXT NOT NULL DEFAULT '';
CREATE INDEX board_result_serial ON board_result (serial);
CREATE INDEX board_result_verdict ON board_result (verdict);
)sql";

constexpr std::array<const char*, kCurrentVersion> kSteps{kVersion1, kVersion2};

} // namespace

int version(sqlite::Database& db)
{
    return static_cast<int>(db.queryInt("PRAGMA user_version"));
}

void migrate(sqlite::Database& db, int targetVersion)
{
    // Up to date: no write lock taken, so a reader opens a file that another program writes.
    if (version(db) == targetVersion)
        return;
    for (;;) {
        sqlite::Transaction transaction(db);
        const int current = version(db);
        if (current > kCurrentVersion)
            throw sqlite::SqliteError(SQLITE_ERROR, "the results file has schema version " +
                                                        std::to_string(current) +
                                                        ", newer than this program knows (" +
                                                        std::to_string(kCurrentVersion) + ")");
        if (current >= targetVersion)
            return; // the transaction rolls back: nothing was changed
        db.exec(kSteps[static_cast<std::size_t>(current)]);
        db.exec("PRAGMA user_version = " + std::to_string(current + 1));
        transaction.commit();
    }
}

} // namespace results_schema
