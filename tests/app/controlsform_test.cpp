// SPDX-License-Identifier: GPL-3.0-or-later
// The controls window offscreen: binding keys and buttons, refusing ones
// another action holds, clearing, restoring the defaults and Done.
#include "app/controlsform.h"

#include <gtest/gtest.h>

#include <QTest>

namespace velmora {
namespace {

using engine::Action;

class ControlsWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.setOnDone([this](const KeyBindings& bindings) { done = bindings; });
        window.edit(KeyBindings::defaults());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    void click(Action action, int slot) { QTest::mouseClick(window.slotButton(action, slot), Qt::LeftButton); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&window, key, modifiers); }

    Tcontrols window{nullptr};
    std::optional<KeyBindings> done;
};

TEST_F(ControlsWindowTest, ShowsEveryActionsKeysAndButton) {
    EXPECT_EQ(window.slotButton(Action::TurnLeft, 0)->caption(), "Up");
    EXPECT_EQ(window.slotButton(Action::TurnLeft, 1)->caption(), "A");
    EXPECT_EQ(window.slotButton(Action::NewGame, 0)->caption(), "Ctrl+S");
    EXPECT_EQ(window.slotButton(Action::Drop, 0)->caption(), "-");
    EXPECT_EQ(window.slotButton(Action::MoveLeft, Tcontrols::kPadSlot)->caption(), "D-pad Left");
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(59, 89, 152));
}

TEST_F(ControlsWindowTest, ClickThenKeyBindsAndDoneHandsTheBindingsOver) {
    click(Action::Drop, 0);
    EXPECT_TRUE(window.waiting());
    EXPECT_EQ(window.slotButton(Action::Drop, 0)->caption(), "...");
    press(Qt::Key_Space);
    EXPECT_FALSE(window.waiting());
    EXPECT_EQ(window.slotButton(Action::Drop, 0)->caption(), "Space");

    // Tab and a menu shortcut's keys bind too rather than move focus or act.
    click(Action::MoveLeft, 1);
    press(Qt::Key_Tab);
    EXPECT_EQ(window.bindings()[Action::MoveLeft].keys[1], QKeyCombination(Qt::Key_Tab));

    click(Action::Drop, Tcontrols::kPadSlot);
    EXPECT_TRUE(window.takePadButton("x"));
    EXPECT_FALSE(window.takePadButton("y"));  // no longer waiting: the pad plays
    EXPECT_EQ(window.slotButton(Action::Drop, Tcontrols::kPadSlot)->caption(), "X");

    QTest::mouseClick(window.button_done, Qt::LeftButton);
    ASSERT_TRUE(done.has_value());
    EXPECT_EQ(done->actionForKey(QKeyCombination(Qt::Key_Space)), Action::Drop);
    EXPECT_EQ(done->actionForPad("x"), Action::Drop);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ControlsWindowTest, KeysAndButtonsHeldElsewhereAreRefusedNamingTheirAction) {
    click(Action::Drop, 0);
    press(Qt::Key_P);
    EXPECT_EQ(window.message->text(), "Already used for Pause");
    EXPECT_TRUE(window.waiting());
    press(Qt::Key_Comma);
    EXPECT_EQ(window.message->text(), "The comma key cannot be bound");
    press(Qt::Key_Escape);
    EXPECT_FALSE(window.waiting());

    click(Action::MoveDown, Tcontrols::kPadSlot);
    EXPECT_TRUE(window.takePadButton("start"));
    EXPECT_EQ(window.message->text(), "Already used for Pause");
    press(Qt::Key_J);  // the button column takes no keys
    EXPECT_TRUE(window.waiting());
    EXPECT_EQ(window.bindings(), KeyBindings::defaults());
}

TEST_F(ControlsWindowTest, DeleteClearsAndRestoreDefaultsUndoes) {
    click(Action::TurnLeft, 0);
    press(Qt::Key_Delete);
    click(Action::Pause, Tcontrols::kPadSlot);
    press(Qt::Key_Delete);
    EXPECT_FALSE(window.bindings()[Action::TurnLeft].keys[0]);
    EXPECT_EQ(window.bindings()[Action::Pause].pad, "");
    EXPECT_EQ(window.slotButton(Action::TurnLeft, 0)->caption(), "-");
    // Freed, Up can go elsewhere.
    click(Action::Drop, 1);
    press(Qt::Key_Up);
    EXPECT_EQ(window.bindings().actionForKey(QKeyCombination(Qt::Key_Up)), Action::Drop);

    QTest::mouseClick(window.button_restore, Qt::LeftButton);
    EXPECT_EQ(window.bindings(), KeyBindings::defaults());
    EXPECT_EQ(window.slotButton(Action::TurnLeft, 0)->caption(), "Up");
    EXPECT_FALSE(done.has_value());  // nothing handed over before Done
}

}  // namespace
}  // namespace velmora
