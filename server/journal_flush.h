// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Flushes an SQLite database's WAL journal to stable storage, apart from
// SQLite's own commit. The commit then only writes the journal, under the
// write lock; the flush that makes it durable runs after the lock is given
// back, so several flushes (each covering every commit written before it
// began) are under way at once and the disk's flush time is not paid once
// per commit in a row.

#include <string>

namespace velmora::server {

class JournalFlush {
  public:
    // Opens `databasePath`-wal, which must exist (the database is open in
    // WAL mode). Throws StoreError when it cannot.
    explicit JournalFlush(const std::string& databasePath);
    // Close only after the database's own connections: closing any
    // descriptor of the file drops the locks the process holds on it.
    ~JournalFlush();
    JournalFlush(const JournalFlush&) = delete;
    JournalFlush& operator=(const JournalFlush&) = delete;

    // Returns once everything written to the journal before the call is on
    // stable storage. Safe to call from several threads at once. Throws
    // StoreError when the flush fails.
    void flush() const;

  private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace velmora::server
