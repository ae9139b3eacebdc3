#include "Sqlite.h"

#include <sqlite3.h>
#include <utility>

namespace sqlite {

namespace {

[[noreturn]] void fail(sqlite3* db, int code, const std::string& context)
{
    const char* detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw SqliteError(code & 0xff, context + ": " + (detail != nullptr ? detail : "unknown error"));
}

} // namespace

Database::Database(const std::filesystem::path& file, Mode mode, std::chrono::milliseconds busyTimeout)
{
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const int rc = sqlite3_open_v2(file.c_str(), &db_, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = "cannot open " + file.string() + ": " +
                                    (db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw SqliteError(rc & 0xff, message);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout.count()));
}

void Database::setBusyTimeout(std::chrono::milliseconds busyTimeout)
{
    sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout.count()));
}

Database::~Database()
{
    sqlite3_close_v2(db_);
}

void Database::exec(const std::string& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string message = error != nullptr ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw SqliteError(rc & 0xff, message);
    }
}

Statement Database::prepare(std::string_view sql)
{
    return Statement(*this, sql);
}

std::int64_t Database::queryInt(const std::string& sql)
{
    Statement statement(*this, sql);
    return statement.step() ? statement.integer(0) : 0;
}

std::string Database::queryText(const std::string& sql)
{
    Statement statement(*this, sql);
    return statement.step() ? statement.text(0) : std::string();
}

Statement::Statement(Database& db, std::string_view sql) : db_(db.handle())
{
    const int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK)
        fail(db_, rc, "prepare");
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr))
{
}

Statement& Statement::bind(int index, std::int64_t value)
{
    const int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK)
        fail(db_, rc, "bind");
    return *this;
}

Statement& Statement::bind(int index, double value)
{
    const int rc = sqlite3_bind_double(stmt_, index, value);
    if (rc != SQLITE_OK)
        fail(db_, rc, "bind");
    return *this;
}

Statement& Statement::bind(int index, std::string_view value)
{
    // An empty view may have no data pointer, which SQLite would bind as NULL instead of ''.
    const char* data = value.data() != nullptr ? value.data() : "";
    const int rc = sqlite3_bind_text64(stmt_, index, data, value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (rc != SQLITE_OK)
        fail(db_, rc, "bind");
    return *this;
}

Statement& Statement::bind(int index, const std::optional<double>& value)
{
    return value ? bind(index, *value) : bindNull(index);
}

Statement& Statement::bindNull(int index)
{
    const int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        fail(db_, rc, "bind");
    return *this;
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // Leave the statement usable for the next attempt.
    sqlite3_reset(stmt_);
    fail(db_, rc, "step");
}

void Statement::run()
{
    step();
    reset();
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

double Statement::real(int column) const
{
    return sqlite3_column_double(stmt_, column);
}

std::string Statement::text(int column) const
{
    const auto* bytes = sqlite3_column_text(stmt_, column);
    if (bytes == nullptr)
        return {};
    return {reinterpret_cast<const char*>(bytes),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

std::optional<double> Statement::optionalReal(int column) const
{
    if (isNull(column))
        return std::nullopt;
    return real(column);
}

Transaction::Transaction(Database& db) : db_(db)
{
    db_.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction()
{
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (const SqliteError&) {
            // A failed BEGIN/COMMIT may already have ended the transaction.
        }
    }
}

void Transaction::commit()
{
    db_.exec("COMMIT");
    done_ = true;
}

} // namespace sqlite
