// SPDX-License-Identifier: GPL-3.0-or-later
// The main window offscreen: start-up state, starting and playing games by
// keys and menu, pause, game over, the size rule, the close procedure and the
// name panel.

#include "app/mainform.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <QWindow>
#include <filesystem>
#include <vector>

#include "app/aboutform.h"
#include "app/game_timer.h"
#include "app/picture_view.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "platform/dialogs.h"
#include "platform/qt_screen.h"
#include "platform/shell.h"
#include "platform/sound.h"
#include "tests/platform/temp_folder.h"
#include "tests/platform/recording_shell.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class RecordingSound : public platform::SoundPlayer {
  public:
    void play(const std::string& resource) override { played.push_back(resource); }
    void stop() override { ++stops; }
    std::vector<std::string> played;
    int stops = 0;
};

using testing::RecordingShell;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousHandler_ = platform::setErrorBoxHandler(
            [this](const std::string& text) { errors_.push_back(text); });
    }

    void TearDown() override {
        window_.reset();
        platform::setErrorBoxHandler(previousHandler_);
    }

    Tmain& open() {
        MainEnvironment environment;
        environment.filesFolder = folder_.string() + "/";
        environment.sound = &sound_;
        environment.shell = &shell_;
        environment.seedFromClock = false;
        window_ = std::make_unique<Tmain>(environment);
        window_->game().seedRandom(12345);
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    void writeSettings(const std::string& text) {
        testing::writeFile(temp_.file("velmora.ini"), text);
    }

    std::string settingsText() const { return testing::readFile(temp_.file("velmora.ini")); }

    static void press(Tmain& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&window, key, modifiers);
    }

    // Ticks the gravity timer until the game ends; returns the number of ticks.
    static int playUntilOver(Tmain& window) {
        int ticks = 0;
        while (window.game().gamerunning() && ticks < 100000) {
            window.game().downtimerTimer();
            ++ticks;
        }
        return ticks;
    }

    testing::TempFolder temp_;
    const fs::path folder_ = temp_.path();
    RecordingSound sound_;
    RecordingShell shell_;
    std::vector<std::string> errors_;
    platform::ErrorBoxHandler previousHandler_;
    std::unique_ptr<Tmain> window_;
};

TEST_F(MainWindowTest, StartsWithDefaultsTheGreetingAndTheNamePanelInFront) {
    Tmain& window = open();
    EXPECT_EQ(window.windowTitle(), "Velmora");
    EXPECT_EQ(window.label_score->text(), "Score: 0");
    EXPECT_EQ(window.label_linescleared->text(), "Lines Cleared: 0");
    EXPECT_EQ(window.label_level->text(), "Level: 0");
    EXPECT_EQ(window.label_name->text(), "Welcome to Velmora by Nivolt Software!");
    EXPECT_TRUE(window.button_start->isVisible());
    EXPECT_TRUE(window.panel_name->isVisible());
    EXPECT_FALSE(window.panel_cleared->isVisible());
    EXPECT_FALSE(window.panel_pause->isVisible());
    EXPECT_FALSE(window.panel_update->isVisible());
    EXPECT_FALSE(window.panel_wait->isVisibleTo(window.panel_cleared));
    EXPECT_EQ(window.edit_name->text(), "Guest");
    EXPECT_EQ(window.edit_aname->text(), "Guest");
    EXPECT_TRUE(window.PlaySounds1->isChecked());
    EXPECT_TRUE(window.updatecheck->isChecked());
    EXPECT_EQ(window.outerBounds(), QRect(3, 3, 626, 594));
    EXPECT_FALSE(window.game().gamerunning());
    EXPECT_FALSE(window.downtimer->isEnabled());
    ASSERT_EQ(sound_.played, std::vector<std::string>{"ENTERED"});
    // The name panel is the front child of the game frame.
    EXPECT_EQ(window.panel_board1->children().last(), window.panel_name);
}

TEST_F(MainWindowTest, SoundsOffInTheSettingsSilenceTheWelcome) {
    writeSettings("[velmora]\nSounds=no\n");
    Tmain& window = open();
    EXPECT_FALSE(window.PlaySounds1->isChecked());
    EXPECT_TRUE(sound_.played.empty());
}

TEST_F(MainWindowTest, GameSoundsFollowThePlaySoundsOption) {
    Tmain& window = open();
    sound_.played.clear();
    window.StartGame1->trigger();
    // "startgame" has no sound of its own: it only silences what plays.
    EXPECT_TRUE(sound_.played.empty());
    int stops = sound_.stops;
    EXPECT_GT(stops, 0);
    press(window, Qt::Key_Up);
    press(window, Qt::Key_A);
    EXPECT_EQ(sound_.played, (std::vector<std::string>{"ROTATE", "ROTATE"}));

    window.PlaySounds1->trigger();
    press(window, Qt::Key_S);
    EXPECT_EQ(sound_.played.size(), 2u);
    EXPECT_EQ(sound_.stops, stops);
    window.PlaySounds1->trigger();
    press(window, Qt::Key_S);
    EXPECT_EQ(sound_.played.back(), "ROTATE");
    EXPECT_EQ(sound_.played.size(), 3u);
}

TEST_F(MainWindowTest, CtrlSAndTheStartButtonStartAGame) {
    Tmain& window = open();
    press(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(window.game().gamerunning());
    EXPECT_EQ(window.label_name->text(), "Good Luck Guest");
    EXPECT_EQ(window.label_level->text(), "Level: 1");
    EXPECT_FALSE(window.panel_name->isVisible());
    EXPECT_FALSE(window.button_start->isVisible());
    EXPECT_TRUE(window.downtimer->isEnabled());
    EXPECT_EQ(window.downtimer->interval(), 500);

    playUntilOver(window);
    ASSERT_TRUE(window.panel_cleared->isVisible());
    ASSERT_TRUE(window.button_start->isVisible());
    QTest::mouseClick(window.button_start, Qt::LeftButton);
    EXPECT_TRUE(window.game().gamerunning());
    EXPECT_FALSE(window.panel_cleared->isVisible());

    // Ctrl+S also starts over from the game-over panel and hides it.
    playUntilOver(window);
    ASSERT_TRUE(window.panel_cleared->isVisible());
    press(window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(window.game().gamerunning());
    EXPECT_FALSE(window.panel_cleared->isVisible());
}

TEST_F(MainWindowTest, ArrowKeysMoveThePieceAndTheBoardPictureFollows) {
    Tmain& window = open();
    window.StartGame1->trigger();
    engine::Game& game = window.game();
    ASSERT_EQ(game.blockx, 6);
    QImage before = window.image_board->grab().toImage();

    press(window, Qt::Key_Left);
    press(window, Qt::Key_Left);
    EXPECT_EQ(game.blockx, 4);
    press(window, Qt::Key_Down);
    EXPECT_EQ(game.blocky, 1);
    QImage after = window.image_board->grab().toImage();
    EXPECT_NE(before, after);

    // The shown picture is the engine's board, row for row.
    QImage board = window.image_board->image();
    for (int y = 0; y < 502; y += 7) {
        for (int x = 0; x < 287; x += 5) {
            ASSERT_EQ(after.pixel(x, y), board.pixel(x, y)) << x << "," << y;
        }
    }

    // Auto-repeated key-downs are each one step.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&window, &repeat);
    QApplication::sendEvent(&window, &repeat);
    EXPECT_EQ(game.blockx, 6);
}

TEST_F(MainWindowTest, PKeyAndThePauseMenuToggleThePausePanel) {
    Tmain& window = open();
    // Before any game the P key does nothing, the menu item pauses.
    press(window, Qt::Key_P);
    EXPECT_FALSE(window.panel_pause->isVisible());
    window.Pause1->trigger();
    EXPECT_TRUE(window.panel_pause->isVisible());
    EXPECT_TRUE(window.Pause1->isChecked());
    window.Pause1->trigger();
    EXPECT_FALSE(window.panel_pause->isVisible());
    EXPECT_FALSE(window.Pause1->isChecked());

    window.StartGame1->trigger();
    press(window, Qt::Key_P);
    EXPECT_TRUE(window.panel_pause->isVisible());
    EXPECT_TRUE(window.Pause1->isChecked());
    uint8_t row = window.game().blocky;
    window.game().downtimerTimer();
    press(window, Qt::Key_Left);
    EXPECT_EQ(window.game().blocky, row);
    EXPECT_EQ(window.game().blockx, 6);
    // A click on the pause panel resumes.
    QTest::mouseClick(window.panel_pause, Qt::LeftButton);
    EXPECT_FALSE(window.panel_pause->isVisible());
    EXPECT_FALSE(window.Pause1->isChecked());
}

TEST_F(MainWindowTest, GameOverShowsThePanelWithTheScoreAndTheNameField) {
    Tmain& window = open();
    window.StartGame1->trigger();
    sound_.played.clear();
    playUntilOver(window);
    EXPECT_FALSE(window.game().gamerunning());
    EXPECT_FALSE(window.downtimer->isEnabled());
    EXPECT_TRUE(window.panel_cleared->isVisible());
    EXPECT_TRUE(window.button_sendscore->isVisible());
    EXPECT_TRUE(window.edit_name->isVisible());
    EXPECT_EQ(window.label_score1->text(), "Your Score: 0");
    ASSERT_FALSE(sound_.played.empty());
    EXPECT_EQ(sound_.played.back(), "GAMEOVER");
    QTest::mouseClick(window.button_cancel, Qt::LeftButton);
    EXPECT_FALSE(window.panel_cleared->isVisible());
}

TEST_F(MainWindowTest, TheLogoOpensTheMakersSiteThroughTheAboutWindowsLink) {
    Tmain& window = open();
    QTest::mouseClick(window.image_logo, Qt::LeftButton);
    EXPECT_TRUE(shell_.opened.empty());

    Tabout about(shell_, &window);
    window.setHelpWindows(nullptr, &about, &about.URL1);
    QTest::mouseClick(window.image_logo, Qt::LeftButton);
    EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://www.nivoltsoftware.com"});
    EXPECT_FALSE(about.isVisible());
    window.setHelpWindows(nullptr, nullptr, nullptr);
}

TEST_F(MainWindowTest, TheClientAreaNeverGetsSmallerThanTheLayout) {
    Tmain& window = open();
    window.resize(300, 200);
    QApplication::processEvents();
    EXPECT_GE(window.centralWidget()->width(), 618);
    EXPECT_GE(window.centralWidget()->height(), 547);
    window.resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(window.panel_board->pos(), QPoint(2, 2));
    EXPECT_GT(window.centralWidget()->width(), 618);
}

TEST_F(MainWindowTest, CloseWritesTheSevenKeysAndResetLocationIsSaved) {
    writeSettings(
        "; kept\n[Velmora]\nLEFT=40\ntop=50\nWidth=700\nHeight=600\nName=Ann Lee\n"
        "Sounds=No\nUpdate=false\nTheme=dark\n");
    Tmain& window = open();
    EXPECT_EQ(window.outerBounds(), QRect(40, 50, 700, 600));
    EXPECT_EQ(window.edit_name->text(), "Ann Lee");
    EXPECT_TRUE(window.PlaySounds1->isChecked());
    EXPECT_FALSE(window.updatecheck->isChecked());

    window.ResetScreenLocation1->trigger();
    EXPECT_EQ(window.outerBounds(), QRect(3, 3, 626, 594));
    window.close();
    EXPECT_EQ(settingsText(),
              "; kept\n[Velmora]\nLEFT=3\ntop=3\nWidth=626\nHeight=594\nName=Ann Lee\n"
              "Sounds=yes\nUpdate=false\nTheme=dark\n");
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, AMovedWindowLargerThanTheWorkAreaIsSavedThreePixelsSmaller) {
    QRect area = platform::workArea();
    int width = area.width() + 100;
    int height = area.height() + 100;
    writeSettings("[velmora]\nLeft=10\nTop=10\nWidth=626\nHeight=594\nServer=http://scores:81\n");
    Tmain& window = open();
    EXPECT_EQ(window.serverAddress(), "http://scores:81");
    window.setOuterBounds(QRect(20, 30, width, height));
    window.close();
    std::string text = settingsText();
    std::string bounds = "Left=20\nTop=30\nWidth=" + std::to_string(width - 3) +
                         "\nHeight=" + std::to_string(height - 3) + "\n";
    EXPECT_NE(text.find(bounds), std::string::npos) << text;
    // The server key is read, never written.
    EXPECT_NE(text.find("Server=http://scores:81\n"), std::string::npos);
}

// A saved size no screen can show is not applied (it would cost gigabytes at
// every start); the position, even off-screen, is.
TEST_F(MainWindowTest, ASettingsSizeBeyondTheScreensIsLimitedButThePositionKept) {
    writeSettings("[velmora]\nLeft=5000\nTop=4000\nWidth=99999\nHeight=99999\n");
    Tmain& window = open();
    QSize limit = platform::virtualDesktop().size() + (window.frameGeometry().size() - window.geometry().size());
    QRect bounds = window.outerBounds();
    EXPECT_EQ(bounds.topLeft(), QPoint(5000, 4000));  // off every screen, and kept
    EXPECT_LE(bounds.width(), limit.width());
    EXPECT_LE(bounds.height(), limit.height());
    window.close();
    EXPECT_EQ(settingsText().find("99999"), std::string::npos) << settingsText();
}

// Without a window manager nothing enforces the minimum-size hint, so the
// rule must hold in the resize handler itself.
TEST_F(MainWindowTest, TheSizeRuleHoldsEvenWhenTheHintIsBypassed) {
    Tmain& window = open();
    window.windowHandle()->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(window.width(), 618);
    EXPECT_EQ(window.height() - window.centralWidget()->y(), 547);
    QRect saved = window.outerBounds();
    window.close();
    EXPECT_NE(settingsText().find("Width=" + std::to_string(saved.width()) + "\nHeight="
                                  + std::to_string(saved.height()) + "\n"),
              std::string::npos) << settingsText();
}

// The desktop appends an application display name to every title; none is
// set, so each window's title is exactly its caption.
TEST_F(MainWindowTest, TheApplicationSetsNoDisplayNameForTheTitles) {
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    EXPECT_EQ(open().windowTitle(), "Velmora");
}

TEST_F(MainWindowTest, FirstCloseCreatesTheFileWithTheLoadedBounds) {
    Tmain& window = open();
    window.close();
    EXPECT_EQ(settingsText(),
              "[velmora]\nTop=3\nLeft=3\nWidth=626\nHeight=594\nName=Guest\nSounds=yes\n"
              "Update=true\n");
}

TEST_F(MainWindowTest, FlippingPlaySoundsSavesAtOnceAndAFailedSaveIsReported) {
    Tmain& window = open();
    window.PlaySounds1->trigger();
    EXPECT_FALSE(window.PlaySounds1->isChecked());
    EXPECT_NE(settingsText().find("Sounds=no"), std::string::npos);

    // A folder where the file should be: the write is refused.
    fs::remove(folder_ / "velmora.ini");
    fs::create_directories(folder_ / "velmora.ini");
    window.PlaySounds1->trigger();
    EXPECT_TRUE(window.PlaySounds1->isChecked());
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Unable to write to " + (folder_ / "velmora.ini").string() + ".");
}

TEST_F(MainWindowTest, NamePanelCopiesOnlyOnDone) {
    Tmain& window = open();
    // Typing without DONE and starting a game keeps the old name.
    window.edit_aname->setText("Zed");
    window.StartGame1->trigger();
    EXPECT_EQ(window.label_name->text(), "Good Luck Guest");
    EXPECT_FALSE(window.panel_name->isVisible());

    // The game-over field changes the name directly; Change Name shows the
    // panel's own older text, and DONE brings that back.
    window.edit_name->setText("Mia");
    window.ChangeName1->trigger();
    EXPECT_TRUE(window.panel_name->isVisible());
    EXPECT_EQ(window.edit_aname->text(), "Zed");
    QTest::mouseClick(window.button_namecancel, Qt::LeftButton);
    EXPECT_EQ(window.edit_name->text(), "Mia");
    window.ChangeName1->trigger();
    QTest::mouseClick(window.button_namedone, Qt::LeftButton);
    EXPECT_EQ(window.edit_name->text(), "Zed");

    // An empty name is kept as it is.
    window.ChangeName1->trigger();
    window.edit_aname->clear();
    QTest::mouseClick(window.button_namedone, Qt::LeftButton);
    window.StartGame1->trigger();
    EXPECT_EQ(window.label_name->text(), "Good Luck ");
}

TEST_F(MainWindowTest, NameFieldsRefuseAnEleventhTypedCharacterButKeepLoadedText) {
    writeSettings("[velmora]\nName=abcdefghijklmnopqrstuvwxy\n");
    Tmain& window = open();
    EXPECT_EQ(window.edit_name->text(), "abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(window.edit_aname->text(), "abcdefghijklmnopqrstuvwxy");
    window.edit_aname->clear();
    window.edit_aname->setFocus();
    QTest::keyClicks(window.edit_aname, "Christopher");
    EXPECT_EQ(window.edit_aname->text(), "Christophe");
}

}  // namespace
}  // namespace velmora
