#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// A thin RAII layer over the SQLite C library: a connection, prepared statements and a
// transaction guard. Every failure throws SqliteError with SQLite's own message and code, so
// callers see one kind of error whatever went wrong (open, lock, disk full).
namespace sqlite {

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    // SQLite's primary result code (SQLITE_BUSY, SQLITE_READONLY, SQLITE_FULL, ...).
    int code() const { return code_; }

private:
    int code_;
};

class Statement;

class Database {
public:
    enum class Mode { ReadWriteCreate, ReadOnly };

    // Opens (or creates) the file. busyTimeout is how long a statement waits for another
    // connection's lock before it fails with SQLITE_BUSY.
    Database(const std::filesystem::path& file, Mode mode, std::chrono::milliseconds busyTimeout);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // How long statements wait for another connection's lock from now on.
    void setBusyTimeout(std::chrono::milliseconds busyTimeout);

    // Runs one or more statements without results.
    void exec(const std::string& sql);
    Statement prepare(std::string_view sql);

    // The value of a one-row, one-column pragma or query.
    std::int64_t queryInt(const std::string& sql);
    std::string queryText(const std::string& sql);

    sqlite3* handle() { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// A prepared statement; reset() makes it ready for the next set of bindings. Indexes of
// bind() start at 1, those of the column getters at 0, as in SQLite.
class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, double value);
    Statement& bind(int index, std::string_view value);
    Statement& bind(int index, const std::optional<double>& value);
    Statement& bindNull(int index);

    // Steps once: true while a row is available, false when the statement is done.
    bool step();
    // Steps a statement that returns no rows.
    void run();
    void reset();

    bool isNull(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    std::optional<double> optionalReal(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE on construction (the write lock is taken at once, so a busy database fails
// here and not half-way through), ROLLBACK on destruction unless commit() was called.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& db_;
    bool done_ = false;
};

} // namespace sqlite
