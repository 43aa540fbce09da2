// SPDX-License-Identifier: GPL-3.0-or-later
// Posting a finished game's score from the game-over panel: the wait strip,
// its one-second timer and the time-out, and opening the high score window.

#include <QAction>
#include <QTimer>
#include <string>

#include "app/mainform.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "platform/dates.h"
#include "platform/dialogs.h"
#include "ui/guarded.h"

namespace velmora {

namespace {

constexpr int kPostTicks = 40;  // one a second: the post's time-out
constexpr int kMostDots = 5;

}  // namespace

void Tmain::connectPosting() {
    connect(Timer1, &QTimer::timeout, this, guarded(this, &Tmain::Timer1Timer));
    connect(button_sendscore, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_sendscoreClick));
    connect(button_highscores, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_highscoresClick));
    connect(ViewHighScoreList1, &QAction::triggered, this,
            guarded(this, &Tmain::ViewHighScoreList1Click));
}

void Tmain::button_sendscoreClick() {
    if (edit_name->text().isEmpty()) {
        edit_name->setText("Guest");
    }
    // Whatever goes wrong here is not the player's to see: the wait strip
    // still runs and ends in the time-out message unless a reply comes.
    try {
        std::string score = std::to_string(game_->reportedScore());
        std::string date = platform::formatMdyy(
            platform::today(), platform::dateSeparator(platform::shortDateFormat()));
        std::string name = edit_name->text().toStdString();
        if (highscore_ != nullptr) {
            highscore_->sendscore(name, date, score);
        }
    } catch (...) {
    }
    postcount = kPostTicks;
    postdots = 0;
    Timer1->start();
    showInFront(panel_wait);
}

void Tmain::Timer1Timer() {
    --postcount;
    if (++postdots > kMostDots) {
        postdots = 1;
    }
    panel_wait->setCaption("Posting Score, Please Wait" + QString(postdots, '.'));
    // Ticks go on while the box is open; the count is then below zero, so
    // only the fortieth tick ever shows it.
    if (postcount == 0) {
        platform::showMessage("Posting Failed.");
        Timer1->stop();
    }
}

void Tmain::scorePosted() {
    panel_cleared->hide();
    Timer1->stop();
}

void Tmain::button_highscoresClick() {
    ViewHighScoreList1Click();
}

void Tmain::ViewHighScoreList1Click() {
    if (highscore_ != nullptr) {
        highscore_->loadit();
        highscore_->showList();
    }
}

}  // namespace velmora
