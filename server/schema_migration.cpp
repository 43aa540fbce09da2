// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/schema_migration.h"

#include <string>

#include "server/store.h"

namespace velmora::server {

namespace {

void run(sqlite3* connection, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(connection, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string reason = message != nullptr ? message : sqlite3_errmsg(connection);
        sqlite3_free(message);
        throw StoreError("cannot bring the database up to date: " + reason);
    }
}

bool hasPosterColumn(sqlite3* connection) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection,
                           "SELECT 1 FROM pragma_table_info('scores') WHERE name = 'poster'", -1,
                           &statement, nullptr) != SQLITE_OK) {
        throw StoreError(std::string("cannot read the scores table: ") +
                         sqlite3_errmsg(connection));
    }
    bool found = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    return found;
}

}  // namespace

const char* const kPgMigration =
    "BEGIN;"
    "SELECT pg_advisory_xact_lock(7318245690);"
    "ALTER TABLE scores ADD COLUMN IF NOT EXISTS poster text;"
    "CREATE TABLE IF NOT EXISTS bans ("
    " kind text NOT NULL,"
    " value text NOT NULL,"
    " pattern text,"
    " made timestamptz NOT NULL DEFAULT now(),"
    " PRIMARY KEY (kind, value));"
    "CREATE TABLE IF NOT EXISTS server_settings (name text PRIMARY KEY, value text NOT NULL);"
    "COMMIT";

void migrateSqliteSchema(sqlite3* connection) {
    // Immediate: two processes opening an old file at once take turns.
    run(connection, "BEGIN IMMEDIATE");
    try {
        if (!hasPosterColumn(connection)) {
            run(connection, "ALTER TABLE scores ADD COLUMN poster TEXT");
        }
        run(connection,
            "CREATE TABLE IF NOT EXISTS bans ("
            " kind TEXT NOT NULL,"
            " value TEXT NOT NULL,"
            " pattern TEXT,"
            " made INTEGER NOT NULL DEFAULT (strftime('%s','now')),"
            " PRIMARY KEY (kind, value))");
        run(connection,
            "CREATE TABLE IF NOT EXISTS server_settings (name TEXT PRIMARY KEY, value TEXT NOT "
            "NULL)");
        run(connection, "COMMIT");
    } catch (...) {
        sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace velmora::server
