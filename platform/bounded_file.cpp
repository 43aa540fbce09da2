// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace velmora::platform {

namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

FileRead readRegularFile(const std::string& path, size_t maxSize) {
    FileRead result;
    // Non-blocking, so that opening a FIFO returns at once instead of
    // waiting for a writer; no terminal can become ours by being opened.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        result.status =
            errno == ENOENT || errno == ENOTDIR ? FileReadStatus::missing : FileReadStatus::failed;
        return result;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.status = FileReadStatus::notRegular;
        return result;
    }
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxSize) {
        result.status = FileReadStatus::tooLarge;
        return result;
    }
    // The file may grow while it is read: the cap is checked on what comes.
    std::string bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[64 * 1024];
    for (;;) {
        size_t want = std::min(sizeof buffer, maxSize + 1 - bytes.size());
        ssize_t got = ::read(file.get(), buffer, want);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return result;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
        if (bytes.size() > maxSize) {
            result.status = FileReadStatus::tooLarge;
            return result;
        }
    }
    result.status = FileReadStatus::ok;
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace velmora::platform
