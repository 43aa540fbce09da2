// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ini.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/platform/temp_folder.h"

namespace velmora::platform {
namespace {

using velmora::testing::readFile;
using velmora::testing::TempFolder;
using velmora::testing::writeFile;

class IniTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string ini = folder.file("velmora.ini");
};

TEST_F(IniTest, ReadsFirstMatchingSectionAndKeyIgnoringCaseAndTrimmingBlanks) {
    writeFile(ini,
              "; Top=99 in a comment\n"
              "[other]\n"
              "Top=11\n"
              "  [ VELMORA ]  \r\n"
              "\ttop \t=  42 \t\r\n"
              "TOP=43\n"
              "Name= a = b \n"
              "Empty=\n"
              "noequals\n"
              "[velmora]\n"
              "Width=700\n");
    EXPECT_EQ(readIniString(ini, "velmora", "Top", "3"), "42");
    EXPECT_EQ(readIniString(ini, "Velmora", "name", "Guest"), "a = b");
    EXPECT_EQ(readIniString(ini, "velmora", "Empty", "Guest"), "");
    EXPECT_EQ(readIniString(ini, "velmora", "noequals", "d"), "d");
    // Only the first section of that name is read.
    EXPECT_EQ(readIniString(ini, "velmora", "Width", "626"), "626");
    EXPECT_EQ(readIniString(ini, "other", "top", "3"), "11");
    EXPECT_EQ(readIniString(ini, "missing", "Top", "3"), "3");
    EXPECT_EQ(readIniString(folder.file("none.ini"), "velmora", "Top", "3"), "3");
    EXPECT_EQ(readIniString(folder.path().string(), "velmora", "Top", "3"), "3");
}

TEST_F(IniTest, LongValuesAreCutToTheBuffer) {
    std::string exact(kIniValueBuffer - 1, 'x');
    writeFile(ini, "[s]\nA=" + exact + "\nB=  " + exact + "yz  \n");
    EXPECT_EQ(readIniString(ini, "s", "A", ""), exact);
    EXPECT_EQ(readIniString(ini, "s", "B", ""), exact);
}

struct IntCase {
    const char* text;
    bool valid;
    std::int32_t value;
};

class IniIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(IniIntTest, ParsesOnlyWholeIntegers) {
    std::int32_t value = 12345;
    EXPECT_EQ(parseIniInt(GetParam().text, value), GetParam().valid) << GetParam().text;
    if (GetParam().valid) {
        EXPECT_EQ(value, GetParam().value) << GetParam().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniIntTest,
    ::testing::Values(IntCase{"626", true, 626}, IntCase{"0x200", true, 512},
                      IntCase{"0X1f", true, 31}, IntCase{"-5", true, -5}, IntCase{"+7", true, 7},
                      IntCase{"-0x10", true, -16}, IntCase{"007", true, 7},
                      IntCase{"2147483647", true, 2147483647},
                      IntCase{"-2147483648", true, -2147483647 - 1},
                      IntCase{"0xFFFFFFFF", true, -1}, IntCase{"2147483648", false, 0},
                      IntCase{"0x100000000", false, 0}, IntCase{"", false, 0},
                      IntCase{"-", false, 0}, IntCase{"0x", false, 0}, IntCase{"12abc", false, 0},
                      IntCase{"1 2", false, 0}, IntCase{"abc", false, 0},
                      IntCase{"0x1g", false, 0}, IntCase{"1.5", false, 0},
                      IntCase{"$10", false, 0}));

TEST_F(IniTest, IntegerReadsUseTheDefaultForAnythingElse) {
    writeFile(ini, "[velmora]\nWidth = 0x200 \nHeight=big\nLeft=-40\n");
    EXPECT_EQ(readIniInt(ini, "velmora", "Width", 626), 512);
    EXPECT_EQ(readIniInt(ini, "velmora", "Height", 594), 594);
    EXPECT_EQ(readIniInt(ini, "velmora", "Left", 3), -40);
    EXPECT_EQ(readIniInt(ini, "velmora", "Top", 3), 3);
}

TEST_F(IniTest, WriteReplacesTheValueWhereItStandsAndKeepsEveryOtherLine) {
    const std::string before =
        "; settings\r\n"
        "[Other]\r\n"
        "Top=1\r\n"
        "\r\n"
        "[VELMORA]\r\n"
        "  TOP = 5  \r\n"
        "Foreign=kept as is   \r\n"
        "\r\n"
        "[third]\r\n"
        "x=y";
    writeFile(ini, before);
    writeIniString(ini, "velmora", "Top", "7");
    writeIniString(ini, "velmora", "Sounds", "no");
    EXPECT_EQ(readFile(ini),
              "; settings\r\n"
              "[Other]\r\n"
              "Top=1\r\n"
              "\r\n"
              "[VELMORA]\r\n"
              "TOP=7\r\n"
              "Foreign=kept as is   \r\n"
              "Sounds=no\r\n"
              "\r\n"
              "[third]\r\n"
              "x=y");
    writeIniString(ini, "fourth", "k", "v");
    EXPECT_EQ(readFile(ini).substr(readFile(ini).size() - 22), "x=y\r\n\r\n[fourth]\r\nk=v\r\n");
}

TEST_F(IniTest, WriteCreatesTheFileAndSectionAndLeavesNoTemporary) {
    writeIniString(ini, "velmora", "Top", "3");
    writeIniString(ini, "velmora", "Left", "-4");
    EXPECT_EQ(readFile(ini), "[velmora]\nTop=3\nLeft=-4\n");
    EXPECT_EQ(readIniInt(ini, "velmora", "left", 0), -4);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);

    writeFile(ini, "[velmora]\nTop=1");
    writeIniString(ini, "VELMORA", "Left", "2");
    EXPECT_EQ(readFile(ini), "[velmora]\nTop=1\nLeft=2\n");
}

TEST_F(IniTest, RefusedWritesThrowWithThePathAndKeepTheOldFile) {
    writeFile(folder.file("plain"), "not a folder");
    const std::string underFile = folder.file("plain") + "/velmora.ini";
    try {
        writeIniString(underFile, "velmora", "Top", "3");
        FAIL() << "no error";
    } catch (const IniWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + underFile);
        EXPECT_EQ(error.path(), underFile);
    }

    const std::string asFolder = folder.file("folder.ini");
    std::filesystem::create_directory(asFolder);
    EXPECT_THROW(writeIniString(asFolder, "velmora", "Top", "3"), IniWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(asFolder));

    if (::geteuid() != 0) {
        writeFile(ini, "[velmora]\nTop=1\n");
        std::filesystem::permissions(ini, std::filesystem::perms::owner_read);
        EXPECT_THROW(writeIniString(ini, "velmora", "Top", "3"), IniWriteError);
        EXPECT_EQ(readFile(ini), "[velmora]\nTop=1\n");
    }
}

// A settings path that is no regular file, or one far too large, must neither
// hang start-up nor be read without limit.
TEST_F(IniTest, OnlyARegularFileWithinTheCapIsReadOrRewritten) {
    const std::string fifo = folder.file("fifo.ini");
    ::mkfifo(fifo.c_str(), 0600);
    const std::string zero = folder.file("zero.ini");
    std::filesystem::create_symlink("/dev/zero", zero);
    const std::string big = folder.file("big.ini");
    writeFile(big, "[velmora]\nTop=7\n" + std::string(kMaxIniFile, ';'));
    for (const std::string& path : {fifo, zero, big, folder.path().string()}) {
        EXPECT_EQ(readIniString(path, "velmora", "Top", "3"), "3") << path;
        EXPECT_THROW(writeIniString(path, "velmora", "Top", "4"), IniWriteError) << path;
    }
    EXPECT_EQ(std::filesystem::file_size(big), 16 + kMaxIniFile);
}

TEST_F(IniTest, ASaveRemovesTheTemporariesOfKilledSaves) {
    writeFile(ini, "[velmora]\nTop=1\n");
    const std::string stale = folder.file(".velmora.ini.Ab12Cd");
    const std::string users = folder.file("velmora.ini.Ab12Cd");
    for (const std::string& path : {stale, users}) {
        writeFile(path, "[velmora]\nTo");
        timespec old[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), old, 0);
    }
    writeIniString(ini, "velmora", "Top", "2");
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(users));
    EXPECT_EQ(readFile(ini), "[velmora]\nTop=2\n");
}

}  // namespace
}  // namespace velmora::platform
