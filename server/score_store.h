// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scores, kept in an SQLite database (WAL journal, flushed after every
// commit before the commit counts as done). Safe to use from several threads: one connection writes, another
// reads, so the list page never waits behind posts or a write-back. It stops
// taking posts once the file at its path is no longer the one it opened.

#include <sqlite3.h>

#include <atomic>
#include <memory>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/database_file_watch.h"
#include "server/journal_flush.h"
#include "server/store.h"

namespace velmora::server {

// How often the journal is copied back into the database.
inline constexpr auto kCheckpointInterval = std::chrono::milliseconds(100);
// Pages the journal may hold before the post that fills it writes it back
// itself, waiting for the disk: a background write-back rarely catches up
// while posts keep arriving, so without this the journal only grows, as fast
// as posts come in while the disk flushes. Keeps it to 1 MB (4 KB pages), so
// that it cannot take a small disk's last room before a write-back.
inline constexpr int kJournalPagesBeforeForcing = 256;
// Time without posts after which the journal file is cut to nothing. That
// holds posts back for a flush, so not between two posts of a steady trickle.
inline constexpr auto kRestBeforeTruncating = std::chrono::seconds(1);
// What a journal file keeps of its size once it has been written back.
inline constexpr int64_t kJournalSizeLimit = 1024 * 1024;
// Free space beside the database below which the journal may not take a
// batch of posts: the health check then reports the disk full.
inline constexpr uint64_t kMinFreeBytes = 64 * 1024;
// A write waiting this long for the database means posts are not being
// stored now; as long again for the write lock when no post has been.
inline constexpr auto kWriteStuckAfter = std::chrono::milliseconds(1000);
inline constexpr int kProbeWaitMs = 300;

class ScoreStore : public Store {
public:
    // Opens (creating when missing) the database at `path`, with its
    // folder, and writes back any journal a previous run left. Throws
    // StoreError when it cannot be opened or set up, naming the file, the
    // reason and what to do about it.
    explicit ScoreStore(const std::string& path);
    ~ScoreStore() override;
    ScoreStore(const ScoreStore&) = delete;
    ScoreStore& operator=(const ScoreStore&) = delete;

    // On disk when this returns: committed and flushed, so it survives the
    // process being killed and the power being cut right after.
    void add(const ScoreEntry& entry) override;
    // One transaction, one flush; the flushes of several calls at once run
    // side by side. A failure for space writes the journal back at once, so
    // that posts succeed again as soon as space returns.
    std::vector<bool> addAll(const std::vector<ScoreEntry>& entries) override;
    // The file is still the one opened and starts as a database, a read
    // answers, and there is room for the journal.
    void check() override;
    std::vector<ScoreEntry> best(size_t limit) override;
    uint64_t count() override;
    // Incremented by every add, and within kCheckpointInterval of a change
    // another process made.
    uint64_t generation() override;

private:
    void open(const std::string& path);
    void close();
    // Commits `entries` to the journal, not yet flushed.
    std::vector<bool> commit(const std::vector<ScoreEntry>& entries);
    // False when a ban refused the entry.
    bool insert(const ScoreEntry& entry);
    // Throws once the database file is lost; remembers the loss for good.
    void ensureFileIsOurs();
    // Throws when a write is stuck or the write lock cannot be had.
    void checkWritable();
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

    std::string path_;
    std::unique_ptr<DatabaseFileWatch> watch_;
    std::unique_ptr<JournalFlush> journalFlush_;
    // Asks whether the write lock can be had now, when no post has lately
    // shown it; its own connection, so it never waits behind a post.
    std::mutex probeMutex_;
    sqlite3* probeDb_ = nullptr;
    // Steady-clock nanoseconds: when the write in progress began (0: none),
    // when the last one was committed.
    std::atomic<int64_t> writeBegan_ = 0;
    std::atomic<int64_t> lastCommit_ = 0;
    // Set once the file at path_ is no longer ours; the reason, for good.
    std::atomic<bool> lost_ = false;
    std::mutex lostMutex_;
    std::string lostReason_;
};

}  // namespace velmora::server
