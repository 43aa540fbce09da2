// SPDX-License-Identifier: GPL-3.0-or-later
// The tally list window offscreen, with the main window and the engine as the
// program wires them: live updates during a game, the highlight across DONE
// and reopening, the reset confirmation, and the tally file across a restart.

#include "app/tallylistform.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/mainform.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "platform/dialogs.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class TallyWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousError_ = platform::setErrorBoxHandler(
            [this](const std::string& text) { errors_.push_back(text); });
        previousConfirm_ = platform::setConfirmHandler([this](const std::string& text) {
            questions_.push_back(text);
            return answerYes_;
        });
    }

    void TearDown() override {
        closeProgram();
        platform::setErrorBoxHandler(previousError_);
        platform::setConfirmHandler(previousConfirm_);
    }

    std::string tallyPath() const { return (folder_ / "velmoratally.tld").string(); }

    // Creates the windows in the program's order and wires them.
    void startProgram() {
        MainEnvironment environment;
        environment.filesFolder = folder_.string() + "/";
        environment.seedFromClock = false;
        main_ = std::make_unique<Tmain>(environment);
        main_->game().seedRandom(7);
        tally_ = std::make_unique<Ttallylist>(tallyPath());
        main_->setTallyTarget(tally_.get());
        main_->setTallyWindow(tally_.get());
        tally_->setCentredOver(main_.get());
    }

    // The tally window goes first, as at the program's exit.
    void closeProgram() {
        tally_.reset();
        main_.reset();
    }

    QString text(const std::string& label) const { return tally_->labelNamed(label)->text(); }
    QColor colour(const std::string& label) const {
        return tally_->labelNamed(label)->palette().color(QPalette::WindowText);
    }
    bool bold(const std::string& label) const { return tally_->labelNamed(label)->font().bold(); }

    void playOneGame() {
        main_->StartGame1->trigger();
        for (int ticks = 0; main_->game().gamerunning() && ticks < 100000; ++ticks) {
            main_->game().downtimerTimer();
        }
    }

    testing::TempFolder temp_;
    const fs::path folder_ = temp_.path();
    std::vector<std::string> errors_;
    std::vector<std::string> questions_;
    bool answerYes_ = false;
    platform::ErrorBoxHandler previousError_;
    platform::ConfirmHandler previousConfirm_;
    std::unique_ptr<Tmain> main_;
    std::unique_ptr<Ttallylist> tally_;
};

TEST_F(TallyWindowTest, AFreshTallyShowsSampleRowsAndAGameUpdatesTheOpenWindow) {
    startProgram();
    EXPECT_TRUE(errors_.empty());
    EXPECT_FALSE(tally_->isVisible());
    EXPECT_EQ(tally_->windowTitle(), "Velmora - Tally List");
    EXPECT_EQ(text("mylabel_1"), "0");
    EXPECT_EQ(text("label_date1"), "Feb 11, 2008");
    EXPECT_EQ(text("label_name10"), "Nivolt");
    EXPECT_EQ(text("label_high10"), "0");
    EXPECT_EQ(text("label_num10"), "10.");

    main_->TallyList1->trigger();
    EXPECT_TRUE(tally_->isVisible());
    main_->edit_name->setText("Ann Lee");
    playOneGame();
    EXPECT_EQ(text("mylabel_1"), "1");
    // Rows cleared grow by one at the end of every game.
    EXPECT_EQ(text("mylabel_2"), QString::number(main_->game().lines + 1));
    EXPECT_EQ(text("mylabel_4"), "1");
    EXPECT_EQ(text("label_name1"), "Ann Lee");
    EXPECT_EQ(text("label_high1"), QString::number(main_->game().reportedScore()));
    EXPECT_EQ(colour("label_high1"), QColor(255, 255, 0));
    EXPECT_TRUE(bold("label_name1"));
    // The sample rows moved down by one and lost the layout's pale bold look.
    EXPECT_EQ(text("label_name2"), "Nivolt");
    EXPECT_EQ(colour("label_name2"), QColor(255, 255, 255));
    EXPECT_FALSE(bold("label_name2"));

    // DONE hides the window; reopening shows the same contents, highlight too.
    QTest::mouseClick(tally_->button_done, Qt::LeftButton);
    EXPECT_FALSE(tally_->isVisible());
    main_->TallyList1->trigger();
    EXPECT_TRUE(tally_->isVisible());
    EXPECT_EQ(colour("label_date1"), QColor(255, 255, 0));
}

TEST_F(TallyWindowTest, TheButtonsSitAtTheirPanelPlaces) {
    startProgram();
    struct Case {
        QWidget* button;
        QPoint inWindow;  // the panel sits at (6, 2)
    };
    for (const Case& c : {Case{tally_->button_resettally, QPoint(78, 414)},
                          Case{tally_->button_done, QPoint(206, 414)}}) {
        EXPECT_EQ(c.button->mapTo(tally_.get(), QPoint(0, 0)), c.inWindow)
            << c.button->objectName().toStdString();
        EXPECT_EQ(c.button->size(), QSize(126, 40));
    }
}

TEST_F(TallyWindowTest, TheTallySurvivesARestartWithoutTheSampleRows) {
    startProgram();
    main_->edit_name->setText("Bo");
    playOneGame();
    closeProgram();
    ASSERT_TRUE(fs::exists(tallyPath()));

    startProgram();
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(text("mylabel_1"), "1");
    EXPECT_EQ(text("label_name1"), "Bo");
    EXPECT_EQ(text("label_name2"), "");
    EXPECT_EQ(text("label_high2"), "");
    // The highlight is not saved.
    EXPECT_EQ(colour("label_name1"), QColor(230, 227, 196));
}

TEST_F(TallyWindowTest, ResetAsksFirstAndNoChangesNothing) {
    startProgram();
    playOneGame();
    QColor before = colour("label_high1");
    answerYes_ = false;
    QTest::mouseClick(tally_->button_resettally, Qt::LeftButton);
    ASSERT_EQ(questions_, std::vector<std::string>{"Are you sure you want to reset the Tally?"});
    EXPECT_EQ(text("mylabel_1"), "1");
    EXPECT_EQ(colour("label_high1"), before);

    answerYes_ = true;
    QTest::mouseClick(tally_->button_resettally, Qt::LeftButton);
    EXPECT_EQ(text("mylabel_1"), "0");
    EXPECT_EQ(text("label_high1"), "");
    EXPECT_EQ(text("label_name1"), "");
    EXPECT_EQ(colour("label_high1"), QColor(255, 255, 255));
    EXPECT_FALSE(bold("label_high1"));
}

TEST_F(TallyWindowTest, ADamagedTallyIsReportedAndKeptBesideTheNewOne) {
    { std::ofstream(tallyPath(), std::ios::binary) << "JUNKJUNKJUNK"; }
    startProgram();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("this file has no valid header"), std::string::npos) << errors_[0];
    EXPECT_EQ(text("label_name1"), "Nivolt");
    closeProgram();

    std::ifstream bad(tallyPath() + ".bad", std::ios::binary);
    std::string kept((std::istreambuf_iterator<char>(bad)), {});
    EXPECT_EQ(kept, "JUNKJUNKJUNK");
    std::ifstream fresh(tallyPath(), std::ios::binary);
    std::string header(4, '\0');
    fresh.read(header.data(), 4);
    EXPECT_EQ(header, "!HZL");
}

}  // namespace
}  // namespace velmora
