// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/atomic_temporary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/temp_folder.h"

namespace velmora::platform {
namespace {

using velmora::testing::TempFolder;
using velmora::testing::writeFile;

std::vector<std::string> entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Dates the file back, as if its writer had died a minute ago.
void age(const std::string& path) {
    timespec times[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// A temporary whose writer died: created, written, never renamed.
std::string abandonedTemporary(const std::string& target, bool old) {
    AtomicTemporary temporary = createAtomicTemporary(target);
    EXPECT_GE(temporary.fd, 0);
    EXPECT_EQ(::write(temporary.fd, "half", 4), 4);
    ::close(temporary.fd);  // a crash closes it too, and drops the lock
    if (old) {
        age(temporary.name);
    }
    return std::filesystem::path(temporary.name).filename().string();
}

TEST(AtomicTemporaryTest, RemovesOnlyAbandonedTemporariesOfTheSameFile) {
    TempFolder folder;
    std::string target = folder.file("velmora.ini");
    writeFile(target, "[velmora]\n");
    for (int i = 0; i < 3; ++i) {
        abandonedTemporary(target, true);
    }
    std::string young = abandonedTemporary(target, false);
    std::string otherFiles = abandonedTemporary(folder.file("velmoratally.tld"), true);
    AtomicTemporary live = createAtomicTemporary(target);  // a writer still at work
    ASSERT_GE(live.fd, 0);
    age(live.name);
    for (std::string name : {".velmora.ini.backup1", ".velmora.ini.ab-cde", "velmora.ini.Abc123"}) {
        writeFile(folder.file(name), "the user's own");
        age(folder.file(name));
    }
    ASSERT_EQ(entries(folder.path()).size(), 10u);

    EXPECT_EQ(removeStaleTemporaries(target), 3);
    std::vector<std::string> expected = {".velmora.ini.ab-cde",
                                         ".velmora.ini.backup1",
                                         std::filesystem::path(live.name).filename().string(),
                                         young,
                                         otherFiles,
                                         "velmora.ini",
                                         "velmora.ini.Abc123"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(folder.path()), expected);
    ::close(live.fd);
}

}  // namespace
}  // namespace velmora::platform
