// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_store.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "server/ban_rules.h"
#include "server/schema_migration.h"

namespace velmora::server {

namespace {

// Resets a statement however the step ended.
struct StatementReset {
    sqlite3_stmt* statement;
    ~StatementReset() {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
};

sqlite3* openConnection(const std::string& path, int flags) {
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(path.c_str(), &connection, flags, nullptr) != SQLITE_OK) {
        std::string reason = connection != nullptr ? sqlite3_errmsg(connection) : "out of memory";
        sqlite3_close(connection);
        throw StoreError(reason);
    }
    return connection;
}

int64_t nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// What an operator can do about a database that cannot be opened.
std::string adviceFor(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    if (!std::filesystem::is_directory(folder, error)) {
        return "the folder " + folder.string() + " is missing and could not be made: create it, or name a file in a folder that exists";
    }
    if (std::filesystem::is_directory(path, error)) {
        return "it is a folder: name a database file instead";
    }
    struct statvfs fileSystem {};
    if (::statvfs(folder.c_str(), &fileSystem) == 0 && (fileSystem.f_flag & ST_RDONLY) != 0) {
        return "its file system is mounted read-only: name a file on a writable one";
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0
        || (std::filesystem::exists(path, error) && ::access(path.c_str(), R_OK | W_OK) != 0)) {
        return "the server's user may not write the file or its folder: check their owner and permissions";
    }
    if (std::filesystem::is_regular_file(path, error)) {
        FILE* file = std::fopen(path.c_str(), "rb");
        char header[16] = {};
        size_t read = file != nullptr ? std::fread(header, 1, sizeof header, file) : 0;
        if (file != nullptr) {
            std::fclose(file);
        }
        if (read > 0 && std::memcmp(header, "SQLite format 3", read < 16 ? read : 16) != 0) {
            return "it is not an SQLite database: name another file, or move this one aside";
        }
    }
    return "check the file, its folder and the free space";
}

}  // namespace

ScoreStore::ScoreStore(const std::string& path) : path_(path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
    }
    try {
        open(path);
    } catch (const StoreError& error) {
        close();
        throw StoreError("cannot open the score database " + path + ": " + error.what() + "; "
                         + adviceFor(path));
    } catch (...) {
        close();
        throw;
    }
    checkpointer_ = std::thread([this] { checkpointLoop(); });
}

void ScoreStore::open(const std::string& path) {
    db_ = openConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX);
    sqlite3_busy_timeout(db_, 5000);
    execute(db_, "PRAGMA journal_mode=WAL");
    // Commits only write the journal; addAll flushes it after the write lock
    // is given back, and only then counts a post as stored, so that it
    // survives a power cut. (NORMAL still flushes around every write-back.)
    execute(db_, "PRAGMA synchronous=NORMAL");
    // Posts never write back themselves; the checkpointer below does.
    execute(db_, "PRAGMA wal_autocheckpoint=0");
    execute(db_, ("PRAGMA journal_size_limit=" + std::to_string(kJournalSizeLimit)).c_str());
    execute(db_, "CREATE TABLE IF NOT EXISTS scores ("
                 " id INTEGER PRIMARY KEY,"
                 " name TEXT NOT NULL,"
                 " date TEXT NOT NULL,"
                 " score INTEGER NOT NULL,"
                 " posted INTEGER NOT NULL DEFAULT (strftime('%s','now')))");
    execute(db_, "CREATE INDEX IF NOT EXISTS scores_best ON scores (score DESC, id DESC)");
    migrateSqliteSchema(db_);
    // A banned post is not stored: the insert then changes no row.
    insert_ = prepare(db_, ("INSERT INTO scores (name, date, score, poster) SELECT ?1, ?2, ?3, ?4 WHERE NOT "
                            + bannedCondition(SqlEngine::sqlite, "?1", "?4"))
                               .c_str());
    sqlite3_stmt* counting = prepare(db_, "SELECT count(*) FROM scores");
    if (sqlite3_step(counting) == SQLITE_ROW) {
        count_ = static_cast<uint64_t>(sqlite3_column_int64(counting, 0));
    }
    sqlite3_finalize(counting);

    readDb_ = openConnection(path, SQLITE_OPEN_READONLY);
    sqlite3_busy_timeout(readDb_, 5000);
    selectBest_ = prepare(readDb_, ("SELECT name, date, score FROM scores WHERE NOT "
                                    + bannedCondition(SqlEngine::sqlite, "scores.name", "scores.poster")
                                    + " ORDER BY score DESC, id DESC LIMIT ?1")
                                       .c_str());

    checkpointDb_ = openConnection(path, SQLITE_OPEN_READWRITE);
    sqlite3_busy_timeout(checkpointDb_, 1000);
    // A connection learns that the file is in WAL mode, and opens the
    // journal, only when it first reads; until then a checkpoint on it
    // silently does nothing.
    execute(checkpointDb_, "SELECT count(*) FROM sqlite_schema");
    // A journal left by an earlier run (or a kill) is written back now.
    sqlite3_wal_checkpoint_v2(checkpointDb_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_wal_hook(
        db_,
        [](void* self, sqlite3*, const char*, int pages) {
            static_cast<ScoreStore*>(self)->journalPages_ = pages;
            return SQLITE_OK;
        },
        this);
    probeDb_ = openConnection(path, SQLITE_OPEN_READWRITE);
    sqlite3_busy_timeout(probeDb_, kProbeWaitMs);
    watch_ = std::make_unique<DatabaseFileWatch>(path);
    journalFlush_ = std::make_unique<JournalFlush>(path);
}

void ScoreStore::close() {
    sqlite3_finalize(insert_);
    sqlite3_finalize(selectBest_);
    sqlite3_close(probeDb_);
    sqlite3_close(checkpointDb_);
    sqlite3_close(readDb_);
    sqlite3_close(db_);
    insert_ = selectBest_ = nullptr;
    probeDb_ = checkpointDb_ = readDb_ = db_ = nullptr;
    watch_.reset();  // after the connections: see DatabaseFileWatch
    journalFlush_.reset();
}

ScoreStore::~ScoreStore() {
    {
        std::lock_guard lock(checkpointMutex_);
        closing_ = true;
    }
    checkpointWake_.notify_all();
    checkpointer_.join();
    close();
}

void ScoreStore::checkpointLoop() {
    uint64_t seen = generation_.load();
    auto lastChange = std::chrono::steady_clock::now();
    std::unique_lock lock(checkpointMutex_);
    while (!checkpointWake_.wait_for(lock, kCheckpointInterval, [this] { return closing_; })) {
        lock.unlock();
        uint64_t now = generation_.load();
        if (now != seen) {
            seen = now;
            lastChange = std::chrono::steady_clock::now();
        }
        try {
            ensureFileIsOurs();
            checkpoint(std::chrono::steady_clock::now() - lastChange >= kRestBeforeTruncating);
            noticeOtherWriters();
        } catch (const StoreError&) {
            // Lost for good: nothing to write back into.
        }
        lock.lock();
    }
}

void ScoreStore::checkpoint(bool resting) {
    // Passive first: it takes no lock a post waits for, and does the bulk of
    // the copying and the flush of the database file.
    int pages = 0;
    {
        std::lock_guard writeBack(writeBackMutex_);
        if (sqlite3_wal_checkpoint_v2(checkpointDb_, nullptr, SQLITE_CHECKPOINT_PASSIVE, &pages, nullptr)
            != SQLITE_OK) {
            return;  // tried again next round
        }
    }
    if (!resting || pages <= 0) {
        return;
    }
    // At rest the journal is cut to nothing. The store's locks keep posts
    // and readers out meanwhile; only this process uses the database.
    std::scoped_lock hold(mutex_, readMutex_, writeBackMutex_);
    sqlite3_wal_checkpoint_v2(checkpointDb_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
}

void ScoreStore::execute(sqlite3* connection, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(connection, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string reason = message != nullptr ? message : "unknown error";
        sqlite3_free(message);
        throw StoreError(reason);
    }
}

sqlite3_stmt* ScoreStore::prepare(sqlite3* connection, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(connection, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        throw StoreError(sqlite3_errmsg(connection));
    }
    return statement;
}

void ScoreStore::add(const ScoreEntry& entry) {
    if (!addAll({entry}).front()) {
        throw BannedEntry();
    }
}

std::vector<bool> ScoreStore::addAll(const std::vector<ScoreEntry>& entries) {
    ensureFileIsOurs();
    std::vector<bool> stored = commit(entries);
    journalFlush_->flush();
    // Committed, but into a file deleted or replaced meanwhile: as good as
    // lost, so not acknowledged.
    ensureFileIsOurs();
    lastCommit_ = nowNanoseconds();
    count_ += static_cast<uint64_t>(std::count(stored.begin(), stored.end(), true));
    ++generation_;
    return stored;
}

std::vector<bool> ScoreStore::commit(const std::vector<ScoreEntry>& entries) {
    std::lock_guard lock(mutex_);
    writeBegan_ = nowNanoseconds();
    struct WriteEnded {
        std::atomic<int64_t>& began;
        ~WriteEnded() { began = 0; }
    } ended{writeBegan_};
    std::vector<bool> stored;
    stored.reserve(entries.size());
    try {
        execute(db_, "BEGIN IMMEDIATE");
        for (const ScoreEntry& entry : entries) {
            stored.push_back(insert(entry));
        }
        execute(db_, "COMMIT");
    } catch (const StoreError&) {
        int code = sqlite3_errcode(db_) & 0xff;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        if (code == SQLITE_FULL || code == SQLITE_IOERR) {
            // The journal's own space is what a write-back returns, so
            // posts work again as soon as a little room is free.
            std::lock_guard writeBack(writeBackMutex_);
            sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
            journalPages_ = 0;
        }
        throw;
    }
    if (journalPages_ >= kJournalPagesBeforeForcing) {
        // Waits for a background write-back in progress, then copies the
        // rest; the next post starts the journal again from its beginning.
        // The scores are already committed, so a failure here is not theirs.
        std::lock_guard writeBack(writeBackMutex_);
        sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_FULL, nullptr, nullptr);
        journalPages_ = 0;
    }
    return stored;
}

bool ScoreStore::insert(const ScoreEntry& entry) {
    StatementReset reset{insert_};
    sqlite3_bind_text(insert_, 1, entry.name.data(), static_cast<int>(entry.name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_, 2, entry.date.data(), static_cast<int>(entry.date.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert_, 3, entry.score);
    if (!entry.poster.empty()) {
        sqlite3_bind_text(insert_, 4, entry.poster.data(), static_cast<int>(entry.poster.size()), SQLITE_TRANSIENT);
    }
    if (sqlite3_step(insert_) != SQLITE_DONE) {
        throw StoreError(sqlite3_errmsg(db_));
    }
    // A banned post is not stored: the insert then changes no row.
    return sqlite3_changes(db_) != 0;
}

void ScoreStore::ensureFileIsOurs() {
    if (!lost_.load(std::memory_order_acquire)) {
        std::string problem = watch_->problem();
        if (problem.empty()) {
            return;
        }
        std::lock_guard lock(lostMutex_);
        if (lostReason_.empty()) {
            lostReason_ = problem;
        }
        lost_.store(true, std::memory_order_release);
    }
    std::lock_guard lock(lostMutex_);
    throw StoreError(lostReason_);
}

void ScoreStore::checkWritable() {
    int64_t now = nowNanoseconds();
    int64_t began = writeBegan_.load();
    int64_t stuckAfter = std::chrono::nanoseconds(kWriteStuckAfter).count();
    if (began != 0 && now - began > stuckAfter) {
        throw StoreError("a write to " + path_ + " has waited " + std::to_string((now - began) / 1'000'000)
                         + " ms for the database");
    }
    if (now - lastCommit_.load() <= stuckAfter) {
        return;  // posts are being stored
    }
    std::lock_guard lock(probeMutex_);
    if (sqlite3_exec(probeDb_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw StoreError(path_ + " cannot be written now: " + sqlite3_errmsg(probeDb_));
    }
    sqlite3_exec(probeDb_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void ScoreStore::check() {
    ensureFileIsOurs();
    checkWritable();
    {
        std::lock_guard lock(readMutex_);
        sqlite3_stmt* probe = nullptr;
        int status = sqlite3_prepare_v2(readDb_, "SELECT max(id) FROM scores", -1, &probe, nullptr);
        if (status == SQLITE_OK) {
            status = sqlite3_step(probe);
        }
        sqlite3_finalize(probe);
        if (status != SQLITE_ROW) {
            throw StoreError(path_ + " cannot be read: " + sqlite3_errmsg(readDb_));
        }
    }
    std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    struct statvfs space {};
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &space) == 0
        && static_cast<uint64_t>(space.f_bavail) * space.f_frsize < kMinFreeBytes) {
        throw StoreError("no room for the journal of " + path_ + ": the disk is full");
    }
}

std::vector<ScoreEntry> ScoreStore::best(size_t limit) {
    std::lock_guard lock(readMutex_);
    StatementReset reset{selectBest_};
    sqlite3_bind_int64(selectBest_, 1, static_cast<sqlite3_int64>(limit));
    std::vector<ScoreEntry> entries;
    int status;
    while ((status = sqlite3_step(selectBest_)) == SQLITE_ROW) {
        auto text = [this](int column) {
            const unsigned char* value = sqlite3_column_text(selectBest_, column);
            return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
        };
        entries.push_back({text(0), text(1), static_cast<uint32_t>(sqlite3_column_int64(selectBest_, 2))});
    }
    if (status != SQLITE_DONE) {
        throw StoreError(sqlite3_errmsg(readDb_));
    }
    return entries;
}

// The admin commands change the file from another process (a score
// removed, a ban made) and count their changes in the settings table; the
// page must follow within a second.
void ScoreStore::noticeOtherWriters() {
    std::lock_guard lock(readMutex_);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(readDb_, "SELECT value FROM server_settings WHERE name = 'changes'", -1, &statement,
                           nullptr)
        != SQLITE_OK) {
        return;
    }
    int64_t changes = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    if (changes != moderationChanges_) {
        ++generation_;
        moderationChanges_ = changes;
    }
}

uint64_t ScoreStore::count() { return count_.load(); }

uint64_t ScoreStore::generation() { return generation_.load(); }

}  // namespace velmora::server
