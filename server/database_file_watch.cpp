// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/database_file_watch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "server/store.h"

namespace velmora::server {

namespace {

// The first bytes of every SQLite database file.
constexpr char kHeader[] = "SQLite format 3";  // with its NUL: 16 bytes

}  // namespace

DatabaseFileWatch::DatabaseFileWatch(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
        throw StoreError("cannot watch " + path + ": " + std::strerror(errno));
    }
    files_.push_back({path, status.st_dev, status.st_ino});
    std::string journal = path + "-wal";
    if (::stat(journal.c_str(), &status) == 0) {
        files_.push_back({journal, status.st_dev, status.st_ino});
    }
}

DatabaseFileWatch::~DatabaseFileWatch() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::string DatabaseFileWatch::problem() const {
    for (const Identity& file : files_) {
        struct stat status {};
        if (::stat(file.path.c_str(), &status) != 0) {
            return file.path + " is gone (" + std::strerror(errno) +
                   "); restart the server to open it again";
        }
        if (status.st_dev != file.device || status.st_ino != file.inode) {
            return file.path + " was replaced by another file; restart the server to open it";
        }
    }
    char header[sizeof kHeader] = {};
    if (::pread(fd_, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
        std::memcmp(header, kHeader, sizeof header) != 0) {
        return files_.front().path + " is no longer an SQLite database";
    }
    return {};
}

}  // namespace velmora::server
