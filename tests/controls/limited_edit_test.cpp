// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/limited_edit.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <memory>

#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

class LimitedEditTest : public velmora::testing::QtFixture {
protected:
    void SetUp() override {
        velmora::testing::ensureApplication();
        edit.show();
        edit.setFocus();
    }
    LimitedEdit edit;
};

TEST_F(LimitedEditTest, RefusesTypingPastTenCharacters) {
    EXPECT_EQ(edit.typedLimit(), 10);
    QTest::keyClicks(&edit, "abcdefghijkl");
    EXPECT_EQ(edit.text(), "abcdefghij");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, "XY");
    EXPECT_EQ(edit.text(), "abcdefghiX");
    // Typing over a selection replaces it.
    edit.selectAll();
    QTest::keyClicks(&edit, "Zed");
    EXPECT_EQ(edit.text(), "Zed");
}

TEST_F(LimitedEditTest, KeepsLongerProgramTextButTakesNoMoreTyping) {
    const QString name = "abcdefghijklmnopqrstuvwxy";
    edit.setText(name);
    EXPECT_EQ(edit.text(), name);
    edit.end(false);
    QTest::keyClicks(&edit, "z");
    EXPECT_EQ(edit.text(), name);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), name.left(24));
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), name.mid(1, 23));
}

TEST_F(LimitedEditTest, PastesOnlyWhatFits) {
    QApplication::clipboard()->setText("1234567890ABC");
    if (QApplication::clipboard()->text() != "1234567890ABC") {
        GTEST_SKIP() << "no clipboard on this platform";
    }
    QTest::keyClicks(&edit, "abc");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), "abc1234567");

    edit.setText("abc");
    std::unique_ptr<QMenu> menu(edit.createLimitedContextMenu());
    QAction* paste = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text().contains("Paste")) {
            paste = action;
        }
    }
    ASSERT_NE(paste, nullptr);
    paste->trigger();
    EXPECT_EQ(edit.text(), "abc1234567");
}

}  // namespace
}  // namespace velmora::controls
