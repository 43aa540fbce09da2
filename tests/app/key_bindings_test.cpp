// SPDX-License-Identifier: GPL-3.0-or-later
// The controls in the settings file: options and [controls] written only once
// chosen, read back as written; unreadable values, keys bound twice, and how
// pressed keys find their action.
#include "app/key_bindings.h"

#include <gtest/gtest.h>

#include "app/player_options.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

using engine::Action;
using testing::readFile;
using testing::writeFile;

class ControlsSettingsTest : public ::testing::Test {
  protected:
    testing::TempFolder folder;
    std::string ini = folder.file("velmora.ini");

    KeyBindings loadFrom(const std::string& content) {
        writeFile(ini, content);
        return KeyBindings::fromText(app::loadControlsText(ini));
    }
};

TEST_F(ControlsSettingsTest, OptionsAreWrittenOnlyOnceSetAndReadBack) {
    writeFile(ini, "[velmora]\nName=Ann\n");
    app::PlayerOptions options = app::loadPlayerOptions(ini, "velmora");
    EXPECT_FALSE(options.landingShadow || options.startLevel || options.pauseOnFocusLoss);
    app::savePlayerOptions(ini, "velmora", options);
    app::saveControlsText(ini, app::loadControlsText(ini));
    EXPECT_EQ(readFile(ini), "[velmora]\nName=Ann\n");

    options.startLevel = 7;
    app::savePlayerOptions(ini, "velmora", options);
    EXPECT_EQ(readFile(ini), "[velmora]\nName=Ann\nStartLevel=7\n");
    options.landingShadow = true;
    options.pauseOnFocusLoss = false;
    app::savePlayerOptions(ini, "velmora", options);
    app::PlayerOptions back = app::loadPlayerOptions(ini, "velmora");
    EXPECT_EQ(back.landingShadow, true);
    EXPECT_EQ(back.startLevel, 7);
    EXPECT_EQ(back.pauseOnFocusLoss, false);
}

TEST_F(ControlsSettingsTest, OptionValuesOutsideTheRulesReadAsTheDefault) {
    for (const char* level : {"0", "11", "-2", "five", "", "0x3"}) {
        writeFile(ini, std::string("[velmora]\nStartLevel=") + level + "\nLandingShadow=True\n");
        app::PlayerOptions options = app::loadPlayerOptions(ini, "velmora");
        EXPECT_EQ(options.startLevel, std::string(level) == "0x3" ? 3 : 1) << level;
        EXPECT_EQ(options.landingShadow, false);  // only exactly "true"
    }
}

TEST_F(ControlsSettingsTest, BindingsSurviveARoundTrip) {
    KeyBindings bindings = KeyBindings::defaults();
    ASSERT_FALSE(bindings.bindKey(Action::MoveLeft, 1, QKeyCombination(Qt::Key_J)));
    ASSERT_FALSE(bindings.bindKey(Action::Drop, 0, QKeyCombination(Qt::Key_Space)));
    ASSERT_FALSE(bindings.bindKey(Action::NewGame, 1, QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_N)));
    bindings.clearPad(Action::Pause);
    ASSERT_FALSE(bindings.bindPad(Action::Pause, "guide"));
    bindings.clearKey(Action::TurnLeft, 1);
    app::saveControlsText(ini, bindings.toText());
    const std::string text = readFile(ini);
    EXPECT_NE(text.find("[controls]\nMoveLeft=Left,J\nPadMoveLeft=dpleft\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Drop=Space\n"), std::string::npos);
    EXPECT_NE(text.find("NewGame=Ctrl+S,Ctrl+Shift+N\n"), std::string::npos);
    EXPECT_NE(text.find("TurnLeft=Up\n"), std::string::npos);
    EXPECT_EQ(KeyBindings::fromText(app::loadControlsText(ini)), bindings);
}

TEST_F(ControlsSettingsTest, UnreadableValuesLeaveTheirActionAtItsDefault) {
    KeyBindings b = loadFrom(
        "[controls]\nMoveLeft=Left,J,K\nMoveRight=NoSuchKey\nMoveDown=Ctrl+X, Ctrl+C\n"
        "TurnLeft=\nPadMoveLeft=trigger\nPadDrop=\nPause=F5\n");
    const KeyBindings defaults = KeyBindings::defaults();
    EXPECT_EQ(b[Action::MoveLeft].keys, defaults[Action::MoveLeft].keys);  // three keys
    EXPECT_EQ(b[Action::MoveRight], defaults[Action::MoveRight]);
    EXPECT_EQ(b[Action::MoveDown].keys[0], QKeyCombination(Qt::CTRL, Qt::Key_X));
    EXPECT_EQ(b[Action::MoveDown].keys[1], QKeyCombination(Qt::CTRL, Qt::Key_C));
    EXPECT_FALSE(b[Action::TurnLeft].keys[0] || b[Action::TurnLeft].keys[1]);  // cleared on purpose
    EXPECT_EQ(b[Action::MoveLeft].pad, "dpleft");
    EXPECT_EQ(b[Action::Drop].pad, "");
    EXPECT_EQ(b[Action::Pause].keys[0], QKeyCombination(Qt::Key_F5));
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::Key_P)), std::nullopt);
}

TEST_F(ControlsSettingsTest, AKeyOrButtonBoundTwiceKeepsItsFirstAction) {
    KeyBindings b = loadFrom("[controls]\nMoveRight=Left,D\nDrop=Up\nPadDrop=a\nPadPause=dpleft\n");
    // Left stays with Move Left (default, earlier action); Up with Turn, earlier than Drop.
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::Key_Left)), Action::MoveLeft);
    EXPECT_EQ(b[Action::MoveRight].keys[0], QKeyCombination(Qt::Key_D));
    EXPECT_FALSE(b[Action::MoveRight].keys[1]);
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::Key_Up)), Action::TurnLeft);
    EXPECT_FALSE(b[Action::Drop].keys[0]);
    EXPECT_EQ(b.actionForPad("a"), Action::TurnLeft);
    EXPECT_EQ(b[Action::Drop].pad, "");
    EXPECT_EQ(b.actionForPad("dpleft"), Action::MoveLeft);
    EXPECT_EQ(b[Action::Pause].pad, "");
}

TEST_F(ControlsSettingsTest, PressedKeysFindTheirActionWithModifiersIgnoredUnlessBound) {
    KeyBindings b = KeyBindings::defaults();
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::SHIFT, Qt::Key_A)), Action::TurnLeft);
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::KeypadModifier, Qt::Key_Left)), Action::MoveLeft);
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::CTRL, Qt::Key_S)), Action::NewGame);
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::Key_S)), Action::TurnRight);
    EXPECT_EQ(b.actionForKey(QKeyCombination(Qt::Key_Q)), std::nullopt);
    EXPECT_EQ(b.actionForPad("x"), std::nullopt);
    EXPECT_EQ(b.actionForPad(""), std::nullopt);

    // Refused while another action holds it; nothing changes.
    EXPECT_EQ(b.bindKey(Action::Drop, 0, QKeyCombination(Qt::Key_A)), Action::TurnLeft);
    EXPECT_EQ(b.bindPad(Action::Drop, "start"), Action::Pause);
    EXPECT_EQ(b, KeyBindings::defaults());
    // Its own slot is no conflict.
    EXPECT_EQ(b.bindKey(Action::TurnLeft, 1, QKeyCombination(Qt::Key_A)), std::nullopt);
}

}  // namespace
}  // namespace velmora
