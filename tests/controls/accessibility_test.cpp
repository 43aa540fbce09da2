// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader learns about the program's controls through Qt's
// accessibility interfaces.
#include "controls/accessibility.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>

#include "controls/ButtonComps.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/picture_button.h"
#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

class AccessibilityTest : public velmora::testing::QtFixture {
protected:
    QWidget window;
};

TEST_F(AccessibilityTest, ButtonsArePressableButtonsAndPanelsAreNamedGroups) {
    auto* highlight = new TSelButton(&window);
    highlight->setCaption("Game Rules");
    auto* picture = new PictureButton(":/pictures/button_view_scores.png", &window);
    auto* panel = new TFlatPanel(&window);
    panel->setCaption("Posting Score");
    auto* plain = new QWidget(&window);
    setAccessibleRole(plain, QAccessible::StaticText);
    plain->setAccessibleName("GAME PAUSED");

    struct Case {
        QWidget* widget;
        QAccessible::Role role;
        QString name;
        bool pressable;
    };
    const Case cases[] = {
        {highlight, QAccessible::Button, "Game Rules", true},
        {picture, QAccessible::Button, "View Scores", true},
        {panel, QAccessible::Grouping, "Posting Score", false},
        {plain, QAccessible::StaticText, "GAME PAUSED", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(c.widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), c.role);
        EXPECT_EQ(accessible->text(QAccessible::Name), c.name);
        QAccessibleActionInterface* actions = accessible->actionInterface();
        const bool pressable =
            actions != nullptr &&
            actions->actionNames().contains(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(pressable, c.pressable);
    }

    // A press through the screen reader is a click; a disabled button has none.
    QSignalSpy highlightClicks(highlight, &TSelButton::clicked);
    QSignalSpy pictureClicks(picture, &PictureButton::clicked);
    QAccessible::queryAccessibleInterface(highlight)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QAccessible::queryAccessibleInterface(picture)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_EQ(highlightClicks.count(), 1);
    EXPECT_EQ(pictureClicks.count(), 1);
    picture->setEnabled(false);
    QAccessibleActionInterface* disabled =
        QAccessible::queryAccessibleInterface(picture)->actionInterface();
    EXPECT_FALSE(disabled->actionNames().contains(QAccessibleActionInterface::pressAction()));
    disabled->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pictureClicks.count(), 1);
    // An explicit name wins over the caption.
    panel->setAccessibleName("Wait");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name), "Wait");
}

}  // namespace
}  // namespace velmora::controls
