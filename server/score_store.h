#pragma once
// The scores, kept in an SQLite database (WAL journal). Safe to use from
// several threads: one connection, one statement at a time.

#include <sqlite3.h>

#include <cstdint>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "server/score_query.h"

namespace velmora::server {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ScoreStore {
public:
    // Opens (creating when missing) the database at `path`, with its
    // folder. Throws StoreError when it cannot be opened or set up.
    explicit ScoreStore(const std::string& path);
    ~ScoreStore();
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;

    // Stores `entry`; committed when this returns (it survives the process
    // being killed right after). Throws StoreError on failure.
    void add(const ScoreEntry& entry);

    // At most `limit` entries, best score first, newest first among equal
    // scores.
    std::vector<ScoreEntry> best(size_t limit);

    // The number of scores stored in all.
    uint64_t count();

    // Incremented by every add; lets a reader tell whether its copy is stale.
    uint64_t generation() const;

private:
    void execute(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    void checkpointLoop(std::string path);

    mutable std::mutex mutex_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    sqlite3_stmt* selectBest_ = nullptr;
    sqlite3_stmt* selectCount_ = nullptr;
    uint64_t generation_ = 0;

    // Copies the journal into the database in the background, on its own
    // connection, so that no post waits for that copy and its disk flush.
    std::mutex checkpointMutex_;
    std::condition_variable checkpointWake_;
    bool closing_ = false;
    std::thread checkpointer_;
};

}  // namespace velmora::server
