// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/bounded_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/platform/temp_folder.h"

namespace velmora::platform {
namespace {

using velmora::testing::TempFolder;
using velmora::testing::writeFile;

TEST(BoundedFileTest, ReadsOnlyRegularFilesWithinTheCap) {
    TempFolder folder;
    writeFile(folder.file("ten"), "0123456789");
    writeFile(folder.file("eleven"), "0123456789A");
    ::mkfifo(folder.file("fifo").c_str(), 0600);  // no writer: opening it would block
    std::filesystem::create_symlink(folder.file("ten"), folder.file("link"));
    std::filesystem::create_symlink("/dev/zero", folder.file("zero link"));
    struct Case {
        std::string path;
        FileReadStatus status;
        std::string bytes;
    };
    const Case cases[] = {
        {folder.file("ten"), FileReadStatus::ok, "0123456789"},
        {folder.file("link"), FileReadStatus::ok, "0123456789"},
        {folder.file("eleven"), FileReadStatus::tooLarge, ""},
        {folder.file("missing"), FileReadStatus::missing, ""},
        {folder.file("ten") + "/below", FileReadStatus::missing, ""},
        {folder.path().string(), FileReadStatus::notRegular, ""},
        {folder.file("fifo"), FileReadStatus::notRegular, ""},
        {"/dev/zero", FileReadStatus::notRegular, ""},
        {folder.file("zero link"), FileReadStatus::notRegular, ""},
        // Reports a size of 0 but holds far more than 10 bytes: the cap
        // holds while reading, not only against the reported size.
        {"/proc/self/maps", FileReadStatus::tooLarge, ""},
    };
    for (const Case& c : cases) {
        FileRead read = readRegularFile(c.path, 10);
        EXPECT_EQ(read.status, c.status) << c.path;
        EXPECT_EQ(read.bytes, c.bytes) << c.path;
    }
    EXPECT_EQ(readRegularFile("/proc/self/maps", 1 << 20).status, FileReadStatus::ok);
}

}  // namespace
}  // namespace velmora::platform
