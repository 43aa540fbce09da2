// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the SQLite database a running server opened is still the file at
// its path. A file deleted, moved or replaced under the server keeps working
// for the open connections, so posts would be committed into a file no one
// will ever open again; a file overwritten with something else fails only
// once the pages are read again. Both must stop the server from taking posts.

#include <sys/types.h>

#include <string>
#include <vector>

namespace velmora::server {

class DatabaseFileWatch {
  public:
    // Notes which files `path` and its journal (`path`-wal, when present)
    // are now. Throws StoreError when `path` cannot be opened for reading.
    explicit DatabaseFileWatch(const std::string& path);
    // Close only after the database's own connections: closing any
    // descriptor of the file drops the locks the process holds on it.
    ~DatabaseFileWatch();
    DatabaseFileWatch(const DatabaseFileWatch&) = delete;
    DatabaseFileWatch& operator=(const DatabaseFileWatch&) = delete;

    // Empty while the files at the paths are the ones noted and the
    // database still starts as an SQLite database; otherwise what is wrong,
    // in one line naming the file.
    std::string problem() const;

  private:
    struct Identity {
        std::string path;
        dev_t device;
        ino_t inode;
    };

    std::vector<Identity> files_;
    int fd_ = -1;  // the database file as opened, to read its header
};

}  // namespace velmora::server
