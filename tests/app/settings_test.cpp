// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini.h"
#include "tests/platform/temp_folder.h"

namespace velmora::app {
namespace {

using velmora::testing::readFile;
using velmora::testing::TempFolder;
using velmora::testing::writeFile;

class SettingsTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string ini = folder.file("velmora.ini");

    Settings loadFrom(const std::string& content) {
        writeFile(ini, content);
        return loadSettings(ini, "velmora");
    }
};

TEST_F(SettingsTest, NoFileGivesTheDefaults) {
    Settings s = loadSettings(ini, "velmora");
    EXPECT_EQ(s.top, 3);
    EXPECT_EQ(s.left, 3);
    EXPECT_EQ(s.width, 626);
    EXPECT_EQ(s.height, 594);
    EXPECT_EQ(s.name, "Guest");
    EXPECT_TRUE(s.sounds);
    EXPECT_TRUE(s.update);
    EXPECT_FALSE(s.server.has_value());
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(SettingsTest, BoundsAreIntegersWithHexAndDefaultsForTheRest) {
    Settings s = loadFrom("[VELMORA]\nTop=0x10\nleft=-25\nWidth=wide\nHeight=0X200\n");
    EXPECT_EQ(s.top, 16);
    EXPECT_EQ(s.left, -25);
    EXPECT_EQ(s.width, 626);
    EXPECT_EQ(s.height, 512);
}

TEST_F(SettingsTest, OnlyExactLowerCaseValuesTurnTheOptionsOff) {
    struct Case {
        const char* sounds;
        const char* update;
        bool soundsOn;
        bool updateOn;
    };
    for (Case c : {Case{"no", "false", false, false}, Case{"No", "False", true, true},
                   Case{"off", "0", true, true}, Case{"NO", "FALSE", true, true},
                   Case{"  no ", " false", false, false}, Case{"", "", true, true},
                   Case{"yes", "true", true, true}}) {
        Settings s =
            loadFrom(std::string("[velmora]\nSounds=") + c.sounds + "\nUpdate=" + c.update + "\n");
        EXPECT_EQ(s.sounds, c.soundsOn) << c.sounds;
        EXPECT_EQ(s.update, c.updateOn) << c.update;
    }
}

TEST_F(SettingsTest, NameIsTakenAsItStands) {
    EXPECT_EQ(loadFrom("[velmora]\nName=\n").name, "");
    EXPECT_EQ(loadFrom("[velmora]\nName=  Ann  Lee \n").name, "Ann  Lee");
    const std::string longName = "abcdefghijklmnopqrstuvwxy";
    EXPECT_EQ(loadFrom("[velmora]\nName=" + longName + "\n").name, longName);
    EXPECT_EQ(loadFrom("[other]\nName=Bob\n").name, "Guest");
}

TEST_F(SettingsTest, ServerKeyIsReadButNeverWritten) {
    Settings s = loadFrom("[velmora]\nServer = http://scores.example:8081 \n");
    ASSERT_TRUE(s.server.has_value());
    EXPECT_EQ(*s.server, "http://scores.example:8081");
    EXPECT_FALSE(loadFrom("[velmora]\nServer=\n").server.has_value());

    std::filesystem::remove(ini);
    saveSettings(ini, "velmora", s);
    EXPECT_EQ(readFile(ini).find("Server"), std::string::npos);
}

TEST_F(SettingsTest, FirstSaveWritesTheSectionAndSevenKeysInOrder) {
    Settings s;
    s.left = -8;
    s.top = 40;
    s.width = 700;
    s.height = 601;
    s.name = "";
    s.sounds = false;
    saveSettings(ini, "velmora", s);
    EXPECT_EQ(readFile(ini),
              "[velmora]\nTop=40\nLeft=-8\nWidth=700\nHeight=601\nName=\nSounds=no\n"
              "Update=true\n");

    Settings back = loadSettings(ini, "velmora");
    EXPECT_EQ(back.left, -8);
    EXPECT_EQ(back.top, 40);
    EXPECT_EQ(back.width, 700);
    EXPECT_EQ(back.height, 601);
    EXPECT_EQ(back.name, "");
    EXPECT_FALSE(back.sounds);
    EXPECT_TRUE(back.update);
}

TEST_F(SettingsTest, SaveReplacesKeyByKeyAndKeepsForeignLines) {
    writeFile(ini,
              "# mine\n"
              "[Velmora]\n"
              "name=Old\n"
              "Colour=blue\n"
              "TOP=1\n"
              "\n"
              "[elsewhere]\n"
              "Top=77\n");
    Settings s;
    s.name = "New";
    s.update = false;
    saveSettings(ini, "velmora", s);
    EXPECT_EQ(readFile(ini),
              "# mine\n"
              "[Velmora]\n"
              "name=New\n"
              "Colour=blue\n"
              "TOP=3\n"
              "Left=3\n"
              "Width=626\n"
              "Height=594\n"
              "Sounds=yes\n"
              "Update=false\n"
              "\n"
              "[elsewhere]\n"
              "Top=77\n");
}

TEST_F(SettingsTest, RefusedSaveReportsThePath) {
    writeFile(folder.file("file"), "x");
    for (const std::string& path : {folder.file("file") + "/velmora.ini", folder.file("dir.ini")}) {
        std::filesystem::create_directory(folder.file("dir.ini"));
        try {
            saveSettings(path, "velmora", Settings{});
            ADD_FAILURE() << "no error for " << path;
        } catch (const platform::IniWriteError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("dir.ini")));
    EXPECT_EQ(readFile(folder.file("file")), "x");
}

}  // namespace
}  // namespace velmora::app
