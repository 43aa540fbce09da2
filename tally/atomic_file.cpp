// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/atomic_temporary.h"

namespace velmora::tally {

namespace {

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

mode_t modeFor(const std::string& path) {
    struct stat old {};
    return ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
}

// Makes the rename itself durable; a folder that cannot be opened or synced
// still holds the complete new file, so this is best effort.
void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view data) {
    std::filesystem::path target(path);
    std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    // What an earlier save left behind when it was killed halfway.
    platform::removeStaleTemporaries(path);
    platform::AtomicTemporary temporary = platform::createAtomicTemporary(path);
    int fd = temporary.fd;
    const std::string& name = temporary.name;
    if (fd < 0) {
        return false;
    }
    bool ok = ::fchmod(fd, modeFor(path)) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(name.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(name.c_str());
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace velmora::tally
