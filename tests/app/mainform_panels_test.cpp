// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's panels from the keyboard (Enter is DONE, Escape is
// CANCEL) and what a screen reader is told about the window's controls.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QLabel>
#include <QTest>

#include "app/mainform.h"
#include "app/picture_view.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

class MainPanelsTest : public ::testing::Test {
  protected:
    Tmain& open() {
        testing::writeFile(temp_.file("velmora.ini"), "[velmora]\nName=Ann\nUpdate=0\n");
        MainEnvironment environment;
        environment.filesFolder = temp_.path().string() + "/";
        environment.seedFromClock = false;
        window_ = std::make_unique<Tmain>(environment);
        window_->game().seedRandom(5);
        window_->show();
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    // Types into the name panel's field, as the player does, and ends with `key`.
    static void typeName(Tmain& window, const QString& name, Qt::Key key,
                         Qt::KeyboardModifiers modifiers = {}) {
        window.ChangeName1->trigger();
        window.edit_aname->selectAll();
        QTest::keyClicks(window.edit_aname, name);
        QTest::keyClick(window.edit_aname, key, modifiers);
    }

    testing::TempFolder temp_;
    std::unique_ptr<Tmain> window_;
};

TEST_F(MainPanelsTest, EnterConfirmsTheNameAndEscapeCancelsIt) {
    Tmain& window = open();
    struct Case {
        const char* typed;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* name;
    };
    const Case cases[] = {
        {"Bob", Qt::Key_Return, {}, "Bob"},
        {"Cy", Qt::Key_Enter, Qt::KeypadModifier, "Cy"},
        {"Dee", Qt::Key_Escape, {}, "Cy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        typeName(window, c.typed, c.key, c.modifiers);
        EXPECT_FALSE(window.panel_name->isVisible());
        EXPECT_EQ(window.edit_name->text(), c.name);
    }
    // With no panel up, Enter and Escape leave the game alone.
    window.StartGame1->trigger();
    const engine::Picture before = window.game().board();
    QTest::keyClick(&window, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.game().gamerunning());
    EXPECT_EQ(window.game().board().pixels, before.pixels);
    EXPECT_FALSE(window.panel_name->isVisible());
}

TEST_F(MainPanelsTest, ControlsHaveNamesAndRolesAndTheWellTellsTheScore) {
    Tmain& window = open();
    struct Case {
        QWidget* widget;
        QAccessible::Role role;
        const char* name;
    };
    const Case cases[] = {
        {window.button_start, QAccessible::Button, "Start Game"},
        {window.image_logo, QAccessible::Button, "Nivolt Software web site"},
        {window.panel_name, QAccessible::Grouping, "ENTER YOUR NAME"},
        {window.panel_cleared, QAccessible::Grouping, "Game Over!"},
        {window.image_board, QAccessible::Graphic, "Well"},
        {window.image_keys, QAccessible::Graphic, "Keys"},
        {window.edit_aname, QAccessible::EditableText, "Your name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(c.widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), c.role);
        EXPECT_EQ(accessible->text(QAccessible::Name), c.name);
    }

    QAccessibleInterface* well = QAccessible::queryAccessibleInterface(window.image_board);
    EXPECT_EQ(well->text(QAccessible::Description), "Score: 0, Lines Cleared: 0, Level: 0");

    // Pressing the button through the screen reader starts the game, and the
    // well's description follows the counters.
    QAccessible::queryAccessibleInterface(window.button_start)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(window.game().gamerunning());
    EXPECT_EQ(well->text(QAccessible::Description), "Score: 0, Lines Cleared: 0, Level: 1");
}

}  // namespace
}  // namespace velmora
