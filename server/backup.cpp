// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/backup.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "server/store.h"

namespace velmora::server {

namespace {

struct Connection {
    sqlite3* db = nullptr;
    Connection(const std::string& path, int flags) {
        if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
            std::string reason = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
            sqlite3_close(db);
            throw StoreError("cannot open " + path + ": " + reason);
        }
        sqlite3_busy_timeout(db, 5000);
    }
    ~Connection() { sqlite3_close(db); }
};

uint64_t scoresIn(sqlite3* db) {
    sqlite3_stmt* statement = nullptr;
    uint64_t count = 0;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM scores", -1, &statement, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        count = static_cast<uint64_t>(sqlite3_column_int64(statement, 0));
    } else {
        std::string reason = sqlite3_errmsg(db);
        sqlite3_finalize(statement);
        throw StoreError("the copy cannot be read: " + reason);
    }
    sqlite3_finalize(statement);
    return count;
}

void copyWhole(sqlite3* from, sqlite3* to) {
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    if (backup == nullptr) {
        throw StoreError(std::string("cannot start the backup: ") + sqlite3_errmsg(to));
    }
    // All pages in one step: one read transaction, so one moment's database.
    int status = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (status != SQLITE_DONE) {
        throw StoreError(std::string("the backup failed: ") + sqlite3_errstr(status));
    }
}

}  // namespace

uint64_t backupSqliteDatabase(const std::string& source, const std::string& destination) {
    if (!std::filesystem::exists(source)) {
        throw StoreError("no score database at " + source);
    }
    if (std::filesystem::exists(destination)) {
        throw StoreError(destination + " exists already; the backup does not overwrite it");
    }
    std::string part = destination + ".part-" + std::to_string(::getpid());
    try {
        uint64_t scores = 0;
        {
            Connection from(source, SQLITE_OPEN_READONLY);
            Connection to(part, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            copyWhole(from.db, to.db);
            // A single file to move around: no journal beside the copy.
            sqlite3_exec(to.db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
            scores = scoresIn(to.db);
        }
        std::filesystem::rename(part, destination);
        return scores;
    } catch (const std::filesystem::filesystem_error& error) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw StoreError(std::string("cannot put the copy in place: ") + error.what());
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        throw;
    }
}

}  // namespace velmora::server
