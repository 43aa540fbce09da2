// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/journal_flush.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "server/store.h"

namespace velmora::server {

JournalFlush::JournalFlush(const std::string& databasePath) : path_(databasePath + "-wal") {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        throw StoreError("cannot open " + path_ + ": " + std::strerror(errno));
    }
}

JournalFlush::~JournalFlush() {
    ::close(fd_);
}

void JournalFlush::flush() const {
    // The flush covers the file's data whichever descriptor wrote it.
    if (::fdatasync(fd_) != 0) {
        throw StoreError("cannot flush " + path_ + ": " + std::strerror(errno));
    }
}

}  // namespace velmora::server
