// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomic_temporary.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <vector>

namespace velmora::platform {

namespace {

namespace fs = std::filesystem;

// mkstemp's six characters.
constexpr size_t kUniqueLength = 6;
// A temporary younger than this may belong to a writer that has not taken
// its lock yet.
constexpr auto kMinimumAge = std::chrono::seconds(2);

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : ".";
}

std::string prefixFor(const fs::path& target) {
    // Appended piece by piece: "." + string&& trips a false -Wrestrict in g++ 12.
    std::string prefix(1, '.');
    prefix += target.filename().string();
    prefix += '.';
    return prefix;
}

bool isOurTemporaryName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kUniqueLength ||
        name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

bool oldEnough(const struct stat& info) {
    auto modified = std::chrono::system_clock::from_time_t(info.st_mtime);
    return std::chrono::system_clock::now() - modified >= kMinimumAge;
}

// True when `path` is a regular file of ours that no writer holds.
bool abandoned(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    bool result = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
                  oldEnough(info) && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return result;
}

}  // namespace

AtomicTemporary createAtomicTemporary(const std::string& path) {
    fs::path target(path);
    std::string pattern =
        (folderOf(target) / prefixFor(target)).string() + std::string(kUniqueLength, 'X');
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    AtomicTemporary temporary;
    temporary.fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (temporary.fd >= 0) {
        // Held until the descriptor closes, which a crash does too.
        ::flock(temporary.fd, LOCK_EX | LOCK_NB);
        temporary.name = name.data();
    }
    return temporary;
}

int removeStaleTemporaries(const std::string& path) {
    fs::path target(path);
    std::string prefix = prefixFor(target);
    std::error_code ec;
    int removed = 0;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isOurTemporaryName(name, prefix) && abandoned(it->path().string()) &&
            ::unlink(it->path().c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace velmora::platform
