#pragma once

#include "Sqlite.h"

// The results schema and its migrations. PRAGMA user_version holds the version of the file;
// migrate() brings an older file up step by step, each step in its own transaction, so a file
// is always at one whole version. Plain INTEGER, REAL and TEXT columns only: the same tables
// are meant to live in a server database later. docs/results-schema.md describes them.
namespace results_schema {

inline constexpr int kCurrentVersion = 2;

// Brings the database to targetVersion (default: the current one). Throws SqliteError; a file
// newer than this program knows is refused with SQLITE_ERROR and a message that says so.
void migrate(sqlite::Database& db, int targetVersion = kCurrentVersion);

int version(sqlite::Database& db);

} // namespace results_schema
