#include "server/score_store.h"

#include <chrono>
#include <filesystem>
#include <system_error>

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

}  // namespace

ScoreStore::ScoreStore(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
    }
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open " + path + ": " + reason);
    }
    try {
        sqlite3_busy_timeout(db_, 5000);
        execute("PRAGMA journal_mode=WAL");
        // In WAL mode NORMAL keeps every commit through a crash or kill of the
        // process; only a power cut may lose the last ones.
        execute("PRAGMA synchronous=NORMAL");
        execute("PRAGMA wal_autocheckpoint=0");
        execute("CREATE TABLE IF NOT EXISTS scores ("
                " id INTEGER PRIMARY KEY,"
                " name TEXT NOT NULL,"
                " date TEXT NOT NULL,"
                " score INTEGER NOT NULL,"
                " posted INTEGER NOT NULL DEFAULT (strftime('%s','now')))");
        execute("CREATE INDEX IF NOT EXISTS scores_best ON scores (score DESC, id DESC)");
        insert_ = prepare("INSERT INTO scores (name, date, score) VALUES (?1, ?2, ?3)");
        selectBest_ = prepare("SELECT name, date, score FROM scores ORDER BY score DESC, id DESC LIMIT ?1");
        selectCount_ = prepare("SELECT COUNT(*) FROM scores");
        checkpointer_ = std::thread([this, path] { checkpointLoop(path); });
    } catch (...) {
        sqlite3_finalize(insert_);
        sqlite3_finalize(selectBest_);
        sqlite3_finalize(selectCount_);
        sqlite3_close(db_);
        throw;
    }
}

ScoreStore::~ScoreStore() {
    {
        std::lock_guard lock(checkpointMutex_);
        closing_ = true;
    }
    checkpointWake_.notify_all();
    checkpointer_.join();
    sqlite3_finalize(insert_);
    sqlite3_finalize(selectBest_);
    sqlite3_finalize(selectCount_);
    sqlite3_close(db_);
}

void ScoreStore::checkpointLoop(std::string path) {
    constexpr auto kInterval = std::chrono::milliseconds(250);
    sqlite3* connection = nullptr;
    if (sqlite3_open_v2(path.c_str(), &connection, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_busy_timeout(connection, 1000);
        std::unique_lock lock(checkpointMutex_);
        while (!checkpointWake_.wait_for(lock, kInterval, [this] { return closing_; })) {
            lock.unlock();
            // Passive: takes no lock that a writer or reader waits for.
            sqlite3_wal_checkpoint_v2(connection, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            lock.lock();
        }
    }
    sqlite3_close(connection);
}

void ScoreStore::execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::string reason = message != nullptr ? message : "unknown error";
        sqlite3_free(message);
        throw StoreError(reason);
    }
}

sqlite3_stmt* ScoreStore::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        throw StoreError(sqlite3_errmsg(db_));
    }
    return statement;
}

void ScoreStore::add(const ScoreEntry& entry) {
    std::lock_guard lock(mutex_);
    StatementReset reset{insert_};
    sqlite3_bind_text(insert_, 1, entry.name.data(), static_cast<int>(entry.name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(insert_, 2, entry.date.data(), static_cast<int>(entry.date.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(insert_, 3, entry.score);
    if (sqlite3_step(insert_) != SQLITE_DONE) {
        throw StoreError(sqlite3_errmsg(db_));
    }
    ++generation_;
}

std::vector<ScoreEntry> ScoreStore::best(size_t limit) {
    std::lock_guard lock(mutex_);
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
        throw StoreError(sqlite3_errmsg(db_));
    }
    return entries;
}

uint64_t ScoreStore::count() {
    std::lock_guard lock(mutex_);
    StatementReset reset{selectCount_};
    if (sqlite3_step(selectCount_) != SQLITE_ROW) {
        throw StoreError(sqlite3_errmsg(db_));
    }
    return static_cast<uint64_t>(sqlite3_column_int64(selectCount_, 0));
}

uint64_t ScoreStore::generation() const {
    std::lock_guard lock(mutex_);
    return generation_;
}

}  // namespace velmora::server
