// SPDX-License-Identifier: GPL-3.0-or-later
// Text from outside the program shown as typed: a player's name full of
// markup, loaded from the settings, greeted, recorded in the tally and
// walked through every label of every window, and a message box naming a
// file whose name looks like markup.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTest>
#include <QTimer>

#include "app/aboutform.h"
#include "app/helpform.h"
#include "app/highscoreform.h"
#include "app/mainform.h"
#include "app/tallylistform.h"
#include "controls/limited_edit.h"
#include "platform/dialogs.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_dispatcher.h"
#include "platform/qt_plain_text.h"
#include "tests/platform/recording_shell.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

// Whether the label shows its present text character for character.
bool showsPlainText(const QLabel& label) {
    switch (label.textFormat()) {
        case Qt::PlainText:
            return true;
        case Qt::AutoText:
            return !Qt::mightBeRichText(label.text());
        default:
            return false;
    }
}

// Bold, a picture, a link and an entity: each would change in rich text.
const QString kName = QString::fromUtf8(
    "Zo\xC3\xAB & <b>\"x\"</b> <img src=\"file:///etc/passwd\"> <a href=\"http://x.test\">y</a> "
    "&amp;");

class OutsideTextTest : public ::testing::Test {
  protected:
    void TearDown() override {
        tally_.reset();
        highscore_.reset();
        help_.reset();
        about_.reset();
        main_.reset();
    }

    void startProgram() {
        testing::writeFile(temp_.file("velmora.ini"),
                           "[velmora]\nName=" + kName.toStdString() + "\nUpdate=0\n");
        MainEnvironment environment;
        environment.filesFolder = temp_.path().string() + "/";
        environment.seedFromClock = false;
        environment.shell = &shell_;
        main_ = std::make_unique<Tmain>(environment);
        about_ = std::make_unique<Tabout>(shell_, main_.get());
        help_ = std::make_unique<Thelp>(about_.get(), main_.get());
        HighScoreEnvironment scores;
        scores.serverAddress = "http://127.0.0.1:1";
        scores.dispatcher = std::make_shared<platform::QtDispatcher>();
        scores.shell = &shell_;
        highscore_ = std::make_unique<Thighscore>(scores);
        tally_ = std::make_unique<Ttallylist>(temp_.file("velmoratally.tld"));
        main_->setTallyTarget(tally_.get());
        for (QWidget* window : std::initializer_list<QWidget*>{
                 main_.get(), about_.get(), help_.get(), highscore_.get(), tally_.get()}) {
            window->show();
        }
        main_->button_namedoneClick();
    }

    testing::TempFolder temp_;
    testing::RecordingShell shell_;
    std::unique_ptr<Tmain> main_;
    std::unique_ptr<Tabout> about_;
    std::unique_ptr<Thelp> help_;
    std::unique_ptr<Thighscore> highscore_;
    std::unique_ptr<Ttallylist> tally_;
};

TEST_F(OutsideTextTest, EveryLabelShowingTheNameShowsItAsTyped) {
    startProgram();
    EXPECT_EQ(main_->edit_name->text(), kName);
    main_->StartGame1->trigger();
    EXPECT_EQ(main_->label_name->text(), "Good Luck " + kName);
    ASSERT_TRUE(tally_->checkscore(500, kName.toStdString()));

    int showing = 0;
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* label = qobject_cast<QLabel*>(widget);
        if (label == nullptr || label->text().isEmpty()) {
            continue;
        }
        SCOPED_TRACE(label->objectName().toStdString() + ": " + label->text().toStdString());
        EXPECT_TRUE(showsPlainText(*label));
        if (label->text().contains(kName)) {
            ++showing;
        }
    }
    // The greeting and the tally row at least.
    EXPECT_GE(showing, 2);
    EXPECT_EQ(tally_->labelNamed("label_name1")->text(), kName);
}

TEST_F(OutsideTextTest, AMessageBoxShowsAFileNameAsTyped) {
    platform::ErrorBoxHandler previousError = platform::setErrorBoxHandler({});
    platform::MessageHandler previousMessage = platform::setMessageHandler({});
    platform::ConfirmHandler previousConfirm = platform::setConfirmHandler({});
    platform::installQtDialogs("Velmora");
    const std::string text = "Unable to write to /tmp/" + kName.toStdString() + ".ini";
    struct Seen {
        QString text;
        Qt::TextFormat format = Qt::AutoText;
    };
    std::vector<Seen> seen;
    auto inspectTheBox = [&] {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen.push_back({box->text(), box->textFormat()});
            box->done(QMessageBox::Yes);
        });
    };
    inspectTheBox();
    platform::showErrorBox(text);
    inspectTheBox();
    platform::showMessage(text);
    inspectTheBox();
    platform::askConfirmation(text);
    platform::setErrorBoxHandler(previousError);
    platform::setMessageHandler(previousMessage);
    platform::setConfirmHandler(previousConfirm);

    ASSERT_EQ(seen.size(), 3u);
    // The standard error box ends its message with a full stop.
    EXPECT_EQ(seen[0].text.toStdString(), text + ".");
    EXPECT_EQ(seen[1].text.toStdString(), text);
    EXPECT_EQ(seen[2].text.toStdString(), text);
    for (const Seen& box : seen) {
        EXPECT_EQ(box.format, Qt::PlainText);
    }
}

}  // namespace
}  // namespace velmora
