#include "ResultsStore.h"

#include "ResultsSchema.h"

#include <cstdlib>
#include <sqlite3.h>
#include <system_error>

namespace {

constexpr const char* kRunColumns = "r.run_id, r.started_at, r.ended_at, r.station_id, r.operator_name, "
                                    "r.head_guid, r.device_type, r.firmware_version, r.station_version, "
                                    "r.setup_hash, r.cycle_count";
constexpr int kRunColumnCount = 11;
constexpr const char* kBoardColumns = "b.board_index, b.position_row, b.position_col, b.serial, b.verdict, "
                                      "b.failed_cycles, b.pearson, b.pearson_threshold";

BoardResult readBoardRow(sqlite::Statement& statement, int first)
{
    BoardResult board;
    board.index = static_cast<int>(statement.integer(first));
    board.row = static_cast<int>(statement.integer(first + 1));
    board.col = static_cast<int>(statement.integer(first + 2));
    board.serial = statement.text(first + 3);
    board.verdict = verdictFromName(statement.text(first + 4)).value_or(RunVerdict::NotMeasured);
    board.failedCycles = static_cast<int>(statement.integer(first + 5));
    board.pearson = statement.optionalReal(first + 6);
    board.pearsonThreshold = statement.optionalReal(first + 7);
    return board;
}

// The file's folder is created for a writable store (the default folder does not exist on a
// fresh account); the path is handed on to the connection.
const std::filesystem::path& withFolder(const std::filesystem::path& file, bool readOnly)
{
    const auto parent = file.parent_path();
    if (readOnly || parent.empty())
        return file;
    std::error_code error;
    std::filesystem::create_directories(parent, error);
    if (error)
        throw sqlite::SqliteError(SQLITE_CANTOPEN,
                                  "cannot create the folder " + parent.string() + ": " + error.message());
    return file;
}

} // namespace

std::filesystem::path defaultResultsFile()
{
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = std::filesystem::current_path();
    return base / "stenvikplus" / "results.sqlite";
}

ResultsStore::ResultsStore(const std::filesystem::path& file) : ResultsStore(file, Options{}) {}

ResultsStore::ResultsStore(const std::filesystem::path& file, Options options)
    : db_(withFolder(file, options.readOnly),
          options.readOnly ? sqlite::Database::Mode::ReadOnly : sqlite::Database::Mode::ReadWriteCreate,
          options.busyTimeout)
{
    if (options.readOnly) {
        if (results_schema::version(db_) != results_schema::kCurrentVersion)
            throw sqlite::SqliteError(SQLITE_ERROR, file.string() + " has schema version " +
                                                        std::to_string(results_schema::version(db_)) +
                                                        "; open it once for writing to bring it up to date");
    } else {
        // WAL: readers never block the writer, and a crash leaves the last whole transaction.
        if (db_.queryText("PRAGMA journal_mode = WAL") != "wal")
            throw sqlite::SqliteError(SQLITE_ERROR, "cannot switch " + file.string() + " to WAL mode");
        db_.exec("PRAGMA synchronous = NORMAL");
        results_schema::migrate(db_);
    }
    db_.exec("PRAGMA foreign_keys = ON");

    insertRun_.emplace(db_,
                       "INSERT INTO test_run (run_id, started_at, ended_at, station_id, operator_name, "
                       "head_guid, device_type, firmware_version, station_version, setup_hash, cycle_count) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insertBoard_.emplace(db_,
                         "INSERT INTO board_result (run_id, board_index, position_row, position_col, serial, "
                         "verdict, failed_cycles, pearson, pearson_threshold) "
                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insertChannel_.emplace(db_, "INSERT INTO channel_result (run_id, board_index, channel, mode, reference, "
                                "low_limit, high_limit, mean, min_count, max_count, sd, pass) "
                                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    selectChannels_.emplace(db_, "SELECT channel, mode, reference, low_limit, high_limit, mean, min_count, "
                                 "max_count, sd, pass FROM channel_result "
                                 "WHERE run_id = ? AND board_index = ? ORDER BY channel");
    runExists_.emplace(db_, "SELECT 1 FROM test_run WHERE run_id = ?");
}

void ResultsStore::write(const TestRun& run)
{
    sqlite::Transaction transaction(db_);
    insert(run);
    transaction.commit();
}

bool ResultsStore::writeIfAbsent(const TestRun& run)
{
    sqlite::Transaction transaction(db_);
    auto& exists = *runExists_;
    exists.reset();
    exists.bind(1, run.id);
    const bool present = exists.step();
    exists.reset();
    if (!present)
        insert(run);
    transaction.commit();
    return !present;
}

void ResultsStore::insert(const TestRun& run)
{
    auto& r = *insertRun_;
    r.bind(1, run.id).bind(2, run.startedAt).bind(3, run.endedAt).bind(4, run.stationId);
    r.bind(5, run.operatorName).bind(6, run.headGuid).bind(7, run.deviceType).bind(8, run.firmwareVersion);
    r.bind(9, run.stationVersion).bind(10, run.setupHash).bind(11, run.cycleCount);
    r.run();
    for (const auto& board : run.boards) {
        auto& b = *insertBoard_;
        b.bind(1, run.id).bind(2, board.index).bind(3, board.row).bind(4, board.col).bind(5, board.serial);
        b.bind(6, verdictName(board.verdict)).bind(7, board.failedCycles);
        b.bind(8, board.pearson).bind(9, board.pearsonThreshold);
        b.run();
        for (const auto& channel : board.channels) {
            auto& c = *insertChannel_;
            c.bind(1, run.id).bind(2, board.index).bind(3, channel.channel).bind(4, channel.mode);
            c.bind(5, channel.reference).bind(6, channel.low).bind(7, channel.high).bind(8, channel.mean);
            c.bind(9, channel.min).bind(10, channel.max).bind(11, channel.sd).bind(12, channel.pass ? 1 : 0);
            c.run();
        }
    }
}

TestRun ResultsStore::readRunRow(sqlite::Statement& statement)
{
    TestRun run;
    run.id = statement.text(0);
    run.startedAt = statement.text(1);
    run.endedAt = statement.text(2);
    run.stationId = statement.text(3);
    run.operatorName = statement.text(4);
    run.headGuid = statement.text(5);
    run.deviceType = statement.text(6);
    run.firmwareVersion = statement.text(7);
    run.stationVersion = statement.text(8);
    run.setupHash = statement.text(9);
    run.cycleCount = static_cast<int>(statement.integer(10));
    return run;
}

std::vector<TestRun> ResultsStore::latestRuns(const Filter& filter)
{
    // The newest runs that hold a matching board (walked down the started_at index), then their
    // matching boards through the (run_id, board_index) key.
    const std::string boardMatch = "(?1 = '' OR b.serial = ?1) AND (?2 = '' OR b.verdict = ?2)";
    const std::string sql =
        std::string("WITH latest AS (SELECT r.run_id FROM test_run r WHERE r.started_at >= ?3 AND "
                    "EXISTS (SELECT 1 FROM board_result b WHERE b.run_id = r.run_id AND ") +
        boardMatch + ") ORDER BY r.started_at DESC LIMIT ?4) SELECT " + kRunColumns + ", " + kBoardColumns +
        " FROM latest JOIN test_run r ON r.run_id = latest.run_id JOIN board_result b ON b.run_id = r.run_id "
        "WHERE " +
        boardMatch + " ORDER BY r.started_at DESC, r.run_id, b.board_index";
    auto statement = db_.prepare(sql);
    statement.bind(1, filter.serial);
    statement.bind(2, filter.verdict ? verdictName(*filter.verdict) : std::string_view());
    statement.bind(3, filter.since);
    statement.bind(4, filter.limit);

    std::vector<TestRun> runs;
    while (statement.step()) {
        if (runs.empty() || runs.back().id != statement.text(0))
            runs.push_back(readRunRow(statement));
        runs.back().boards.push_back(readBoardRow(statement, kRunColumnCount));
    }
    return runs;
}

std::vector<ChannelResult> ResultsStore::channels(const std::string& runId, int boardIndex)
{
    auto& s = *selectChannels_;
    s.reset();
    s.bind(1, runId).bind(2, boardIndex);
    std::vector<ChannelResult> rows;
    while (s.step()) {
        ChannelResult c;
        c.channel = static_cast<int>(s.integer(0));
        c.mode = static_cast<int>(s.integer(1));
        c.reference = static_cast<int>(s.integer(2));
        c.low = static_cast<int>(s.integer(3));
        c.high = static_cast<int>(s.integer(4));
        c.mean = s.real(5);
        c.min = static_cast<int>(s.integer(6));
        c.max = static_cast<int>(s.integer(7));
        c.sd = s.real(8);
        c.pass = s.integer(9) != 0;
        rows.push_back(c);
    }
    s.reset();
    return rows;
}

std::optional<TestRun> ResultsStore::run(const std::string& runId)
{
    auto statement = db_.prepare(std::string("SELECT ") + kRunColumns + ", " + kBoardColumns +
                                 " FROM test_run r LEFT JOIN board_result b ON b.run_id = r.run_id "
                                 "WHERE r.run_id = ? ORDER BY b.board_index");
    statement.bind(1, runId);
    std::optional<TestRun> run;
    while (statement.step()) {
        if (!run)
            run = readRunRow(statement);
        if (!statement.isNull(kRunColumnCount))
            run->boards.push_back(readBoardRow(statement, kRunColumnCount));
    }
    if (run)
        for (auto& board : run->boards)
            board.channels = channels(run->id, board.index);
    return run;
}

void ResultsStore::forEachBoardResult(const Filter& filter, const std::function<void(const TestRun&)>& visit)
{
    auto statement = db_.prepare(std::string("SELECT ") + kRunColumns + ", " + kBoardColumns +
                                 " FROM test_run r JOIN board_result b ON b.run_id = r.run_id "
                                 "WHERE r.started_at >= ?2 AND (?1 = '' OR b.serial = ?1) "
                                 "ORDER BY r.started_at, r.run_id, b.board_index");
    statement.bind(1, filter.serial).bind(2, filter.since);
    while (statement.step()) {
        TestRun run = readRunRow(statement);
        run.boards.push_back(readBoardRow(statement, kRunColumnCount));
        run.boards.back().channels = channels(run.id, run.boards.back().index);
        visit(run);
    }
}

std::int64_t ResultsStore::runCount()
{
    return db_.queryInt("SELECT COUNT(*) FROM test_run");
}

std::int64_t ResultsStore::boardResultCount()
{
    return db_.queryInt("SELECT COUNT(*) FROM board_result");
}
