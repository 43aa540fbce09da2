// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's player options offscreen: nothing new in the settings
// until chosen, the options' menus and their keys, rebound keys surviving a
// restart, pausing when the window loses the focus.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include "app/game_timer.h"
#include "app/mainform.h"
#include "controls/TFlatPanelUnit.h"
#include "platform/dialogs.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

using engine::Action;

class MainOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousHandler_ = platform::setErrorBoxHandler([this](const std::string& text) { errors_.push_back(text); });
    }
    void TearDown() override {
        window_.reset();
        platform::setErrorBoxHandler(previousHandler_);
    }

    Tmain& open() {
        window_.reset();
        MainEnvironment environment;
        environment.filesFolder = temp_.path().string() + "/";
        environment.seedFromClock = false;
        window_ = std::make_unique<Tmain>(environment);
        window_->game().seedRandom(777);
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    void startGame(Tmain& window) {
        window.StartGame1->trigger();
        window.activateWindow();
        ASSERT_TRUE(window.game().gamerunning());
    }

    std::string settingsText() const { return testing::readFile(temp_.file("velmora.ini")); }

    testing::TempFolder temp_;
    std::vector<std::string> errors_;
    platform::ErrorBoxHandler previousHandler_;
    std::unique_ptr<Tmain> window_;
};

TEST_F(MainOptionsTest, DefaultsWriteNoNewKeysAndChosenOptionsSurviveARestart) {
    Tmain& window = open();
    EXPECT_FALSE(window.ShowLandingPosition1->isChecked());
    EXPECT_FALSE(window.PauseWhenInactive1->isChecked());
    EXPECT_TRUE(window.StartingLevel1->actions().at(0)->isChecked());
    window.close();
    const std::string plain = settingsText();
    for (const char* key : {"LandingShadow", "StartLevel", "PauseOnFocusLoss", "[controls]"}) {
        EXPECT_EQ(plain.find(key), std::string::npos) << key;
    }

    Tmain& again = open();
    again.ShowLandingPosition1->trigger();
    again.StartingLevel1->actions().at(4)->trigger();
    again.PauseWhenInactive1->trigger();
    // Each choice saves at once, as Play Sounds does.
    EXPECT_NE(settingsText().find("LandingShadow=true\nStartLevel=5\nPauseOnFocusLoss=true\n"),
              std::string::npos)
        << settingsText();
    KeyBindings bindings = again.bindings();
    ASSERT_FALSE(bindings.bindKey(Action::Drop, 0, QKeyCombination(Qt::Key_Space)));
    again.setBindings(bindings);
    again.close();

    Tmain& third = open();
    EXPECT_TRUE(third.ShowLandingPosition1->isChecked());
    EXPECT_TRUE(third.PauseWhenInactive1->isChecked());
    EXPECT_TRUE(third.StartingLevel1->actions().at(4)->isChecked());
    EXPECT_EQ(third.bindings(), bindings);
    third.StartGame1->trigger();
    EXPECT_EQ(third.label_level->text(), "Level: 5");
    EXPECT_EQ(third.downtimer->interval(), 300);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainOptionsTest, ReboundKeysAndPadButtonsPlay) {
    Tmain& window = open();
    KeyBindings bindings = KeyBindings::defaults();
    bindings.clearKey(Action::MoveLeft, 0);
    ASSERT_FALSE(bindings.bindKey(Action::MoveLeft, 0, QKeyCombination(Qt::Key_J)));
    ASSERT_FALSE(bindings.bindKey(Action::Drop, 0, QKeyCombination(Qt::Key_Space)));
    bindings.clearKey(Action::NewGame, 0);
    ASSERT_FALSE(bindings.bindKey(Action::NewGame, 0, QKeyCombination(Qt::Key_F2)));
    window.setBindings(bindings);

    QTest::keyClick(&window, Qt::Key_F2);
    ASSERT_TRUE(window.game().gamerunning());
    const int x = window.game().blockx;
    QTest::keyClick(&window, Qt::Key_Left);  // no longer bound
    EXPECT_EQ(window.game().blockx, x);
    QTest::keyClick(&window, Qt::Key_J);
    EXPECT_EQ(window.game().blockx, x - 1);
    window.padButton("dpright");
    EXPECT_EQ(window.game().blockx, x);
    const uint8_t type = window.game().blocktype;
    QTest::keyClick(&window, Qt::Key_Space);  // drop: settles, the next piece enters
    EXPECT_EQ(window.game().blocky, 0);
    int settled = 0;
    for (int column = 1; column <= 10; ++column) {
        settled += window.game().wellcells[column][20] == type + 1;
    }
    EXPECT_GT(settled, 0);
    window.padButton("start");
    EXPECT_TRUE(window.game().gamepaused());
    EXPECT_TRUE(window.panel_pause->isVisible());
    window.padButton("nonesuch");
    EXPECT_TRUE(window.game().gamepaused());
}

TEST_F(MainOptionsTest, LosingTheFocusPausesOnlyWhenChosen) {
    Tmain& window = open();
    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));

    startGame(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(window.game().gamepaused());  // off by default: gravity goes on

    window.PauseWhenInactive1->trigger();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_FALSE(window.game().gamepaused());
    // The window's own menus leave it active.
    window.StartingLevel1->popup(window.mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.StartingLevel1));
    window.StartingLevel1->close();
    EXPECT_FALSE(window.game().gamepaused());
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(window.game().gamepaused());
    EXPECT_TRUE(window.Pause1->isChecked());
    EXPECT_TRUE(window.panel_pause->isVisible());

    // Coming back does not resume; Pause does.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.game().gamepaused());
    QTest::keyClick(&window, Qt::Key_P);
    EXPECT_FALSE(window.game().gamepaused());

    // A game paused already is not resumed by losing the focus.
    window.Pause1->trigger();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(window.game().gamepaused());
}

}  // namespace
}  // namespace velmora
