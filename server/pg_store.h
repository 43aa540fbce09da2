// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scores, kept in PostgreSQL, so that several server instances share one
// list. Safe to use from many threads: each call borrows a connection of its
// own from a pool that grows with the number of threads asking at once.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/store.h"

struct pg_conn;

namespace velmora::server {

// Connections a store opens at most, besides the one that watches for other
// instances' posts. The pool only grows to the number of threads that use the
// store at the same moment, so this is a guard for the database's own limit.
inline constexpr size_t kMaxPgConnections = 64;

// How often a store asks the database whether another instance has changed
// the scores. Well under the one second within which every instance's page
// must show a new score.
inline constexpr int kPgWatchIntervalMs = 100;

// True for the connection URIs of PostgreSQL: "postgresql://" or "postgres://".
bool isPostgresUri(const std::string& text);

// `uri` with its password replaced by "***", both the one after the user name
// and a "password=" parameter: the form to show in messages.
std::string redactUri(const std::string& uri);

class PgStore : public Store {
  public:
    // Connects to the database of `uri`, creating the table if it is
    // missing. Throws StoreError when it cannot; its message never holds the
    // password.
    explicit PgStore(const std::string& uri, size_t maxConnections = kMaxPgConnections);
    ~PgStore() override;
    PgStore(const PgStore&) = delete;
    PgStore& operator=(const PgStore&) = delete;

    void add(const ScoreEntry& entry) override;
    std::vector<bool> addAll(const std::vector<ScoreEntry>& entries) override;
    // A query answers on a connection of the pool.
    void check() override;
    std::vector<ScoreEntry> best(size_t limit) override;
    uint64_t count() override;
    uint64_t generation() override;

  private:
    class Lease;

    pg_conn* connect();
    pg_conn* openConnection();
    void prepareStatements(pg_conn* connection);
    pg_conn* acquire();
    void release(pg_conn* connection);
    void dropIdle();
    std::string scrub(std::string message) const;
    void watchLoop();
    bool watchOnce(pg_conn*& connection, std::string& lastSnapshot);

    std::string uri_;
    std::string password_;  // only to keep it out of messages
    size_t maxConnections_;

    std::mutex poolMutex_;
    std::condition_variable poolFreed_;
    std::vector<pg_conn*> idle_;
    size_t open_ = 0;  // idle and lent out

    // Own posts count at once; other instances' are seen by the watcher.
    std::atomic<uint64_t> ownChanges_{0};
    std::atomic<uint64_t> seenChanges_{0};

    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    bool closing_ = false;
    std::thread watcher_;
};

}  // namespace velmora::server
