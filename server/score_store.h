// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scores, kept in an SQLite database (WAL journal). Safe to use from
// several threads: one connection writes, another reads, so the list page
// never waits behind posts or a write-back.

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/store.h"

namespace velmora::server {

// How often the journal is copied back into the database.
inline constexpr auto kCheckpointInterval = std::chrono::milliseconds(100);
// Pages the journal may hold before the post that fills it writes it back
// itself, waiting for the disk: a background write-back rarely catches up
// while posts keep arriving, so without this the journal only grows, as fast
// as posts come in while the disk flushes. Keeps it to a few MB (4 KB pages).
inline constexpr int kJournalPagesBeforeForcing = 1000;
// Time without posts after which the journal file is cut to nothing. That
// holds posts back for a flush, so not between two posts of a steady trickle.
inline constexpr auto kRestBeforeTruncating = std::chrono::seconds(1);
// What a journal file keeps of its size once it has been written back.
inline constexpr int64_t kJournalSizeLimit = 4 * 1024 * 1024;

class ScoreStore : public Store {
public:
    // Opens (creating when missing) the database at `path`, with its
    // folder, and writes back any journal a previous run left. Throws
    // StoreError when it cannot be opened or set up.
    explicit ScoreStore(const std::string& path);
    ~ScoreStore() override;
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;

    // Committed when this returns (it survives the process being killed
    // right after).
    void add(const ScoreEntry& entry) override;
    std::vector<ScoreEntry> best(size_t limit) override;
    uint64_t count() override;
    // Incremented by every add, and within kCheckpointInterval of a change
    // another process made.
    uint64_t generation() override;

private:
    void execute(sqlite3* connection, const char* sql);
    sqlite3_stmt* prepare(sqlite3* connection, const char* sql);
    void checkpointLoop();
    // One write-back round; `resting` when nothing was added for
    // kRestBeforeTruncating.
    void checkpoint(bool resting);
    // Moves the generation when an admin command changed the file.
    void noticeOtherWriters();

    std::mutex mutex_;  // the writing connection
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    std::atomic<uint64_t> count_ = 0;

    std::mutex readMutex_;  // the reading connection
    sqlite3* readDb_ = nullptr;
    sqlite3_stmt* selectBest_ = nullptr;
    std::atomic<uint64_t> generation_ = 0;

    // Copies the journal into the database in the background, on its own
    // connection, so that posts rarely wait for that copy and its flush.
    sqlite3* checkpointDb_ = nullptr;
    // One write-back at a time: one a post forces waits for a background one
    // to finish instead of failing, so the journal stops growing. Taken after
    // mutex_ and readMutex_.
    std::mutex writeBackMutex_;
    std::mutex checkpointMutex_;
    std::condition_variable checkpointWake_;
    bool closing_ = false;
    std::thread checkpointer_;
    int journalPages_ = 0;  // after the last commit; guarded by mutex_
    int64_t moderationChanges_ = 0;  // as the checkpointer last saw them
};

}  // namespace velmora::server
