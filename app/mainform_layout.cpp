// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's menu bar and client area, laid out in pixels.

#include <QAction>
#include <QLabel>
#include <QMenuBar>

#include "app/mainform.h"
#include "app/picture_view.h"
#include "app/shadow_label.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "controls/picture_label.h"
#include "ui/guarded.h"
#include "ui/ui_style.h"

namespace velmora {

namespace {

constexpr int kNameLimit = 10;

TFlatPanel* flatPanel(QWidget* parent, int x, int y, int width, int height) {
    auto* panel = new TFlatPanel(parent);
    panel->setGeometry(x, y, width, height);
    panel->setCaption(QString());
    return panel;
}

// An overlay panel: pale frame on the window colour.
TFlatPanel* overlayPanel(QWidget* parent, int x, int y, int width, int height) {
    TFlatPanel* panel = flatPanel(parent, x, y, width, height);
    panel->setColor(style::kWindow);
    panel->setColorHighLight(style::kPale);
    panel->setColorShadow(style::kPale);
    panel->hide();
    return panel;
}

ShadowLabel* title(QWidget* parent, int y, const QString& text, int pixelHeight) {
    auto* label = new ShadowLabel(text, parent);
    label->setFont(style::font("MS Sans Serif", pixelHeight, true));
    label->setGeometry(2, y, parent->width() - 4, pixelHeight + 10);
    // A panel is announced by its first title.
    if (parent->accessibleName().isEmpty()) {
        parent->setAccessibleName(text);
    }
    return label;
}

PictureButton* pictureButton(QWidget* parent, int x, int y, const QString& resource) {
    auto* button = new PictureButton(":/pictures/button_" + resource + ".png", parent);
    button->setTransparent(true);
    button->move(x, y);
    return button;
}

LimitedEdit* nameField(QWidget* parent, int x, int y, int width) {
    auto* edit = new LimitedEdit(parent);
    edit->setTypedLimit(kNameLimit);
    edit->setGeometry(x, y, width, 32);
    edit->setFont(style::font("MS Sans Serif", 19));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, style::kPale);
    palette.setColor(QPalette::Text, Qt::black);
    edit->setPalette(palette);
    return edit;
}

}  // namespace

void Tmain::buildMenu() {
    QMenu* file = menuBar()->addMenu("File");
    StartGame1 = file->addAction("Start Game", this, guarded(this, &Tmain::StartGame1Click));
    StartGame1->setShortcut(QKeySequence("Ctrl+S"));
    file->addSeparator();
    Exit1 = file->addAction("Exit", this, &QWidget::close);

    QMenu* options = menuBar()->addMenu("Options");
    PlaySounds1 = options->addAction("Play Sounds");
    PlaySounds1->setCheckable(true);
    PlaySounds1->setChecked(true);
    connect(PlaySounds1, &QAction::triggered, this, guarded(this, &Tmain::PlaySounds1Click));
    ResetScreenLocation1 = options->addAction("Reset Screen Location", this,
                                              guarded(this, &Tmain::ResetScreenLocation1Click));
    ChangeName1 = options->addAction("Change  Name", this, guarded(this, &Tmain::ChangeName1Click));
    // Choosing it flips the option; it reaches the settings at the next save.
    updatecheck = options->addAction("Automatically Check for Updates");
    updatecheck->setCheckable(true);
    updatecheck->setChecked(true);
    buildPlayerOptionsMenu(options);
    options->addSeparator();
    Pause1 = options->addAction("Pause", this, guarded(this, &Tmain::Pause1Click));
    Pause1->setCheckable(true);

    QMenu* view = menuBar()->addMenu("View");
    TallyList1 = view->addAction("Tally List", this, guarded(this, &Tmain::TallyList1Click));
    ViewHighScoreList1 = view->addAction("View High Score List");

    QMenu* help = menuBar()->addMenu("Help");
    Help1 = help->addAction("Help", this, guarded(this, &Tmain::Help1Click));
    Help1->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    About1 = help->addAction("About", this, guarded(this, &Tmain::About1Click));
}

void Tmain::buildClientArea() {
    setFont(style::font("MS Sans Serif", 11));
    auto* client = new QWidget(this);
    style::paintWindowColour(client);
    client->setFocusPolicy(Qt::StrongFocus);
    // The size rule as a hint to the window manager; FormResize enforces it.
    // The client area never gets smaller than the outer frame
    // plus three pixels each way.
    client->setMinimumSize(kMinClientWidth, kMinClientHeight);
    setCentralWidget(client);

    panel_board = flatPanel(client, 2, 2, 615, 544);
    panel_board->setTransparent(true);
    panel_board->setColorHighLight(style::kWindow);
    panel_board->setColorShadow(style::kWindow);
    label_name = style::label(panel_board, 6, 7, "Welcome to Velmora by Nivolt Software!",
                              style::font("MS Sans Serif", 13), style::kPale, 600, 18);

    panel_board1 = flatPanel(panel_board, 4, 30, 605, 507);
    panel_board1->setTransparent(true);
    panel_board1->setColorHighLight(Qt::black);
    panel_board1->setColorShadow(Qt::black);

    panel_dropboard = flatPanel(panel_board1, 1, 1, 289, 504);
    panel_dropboard->setColor(Qt::black);
    panel_dropboard->setColorHighLight(Qt::black);
    panel_dropboard->setColorShadow(Qt::black);
    image_board = new PictureView(game_->board(), panel_dropboard);
    // The picture is 507 rows high; its frame shows the top 502.
    image_board->setGeometry(1, 1, 287, 502);

    panel_next = flatPanel(panel_board1, 297, 6, 76, 100);
    panel_next->setColor(style::kGrey);
    panel_next->setColorHighLight(Qt::black);
    panel_next->setColorShadow(Qt::black);
    image_next = new PictureView(game_->preview(), panel_next);
    image_next->setGeometry(2, 2, 72, 96);
    // Both pictures follow the density of the screen the well is on.
    image_board->setRatioListener([this](double ratio) { game_->setPixelRatio(ratio); });
    image_next->setRatioListener([this](double ratio) { game_->setPixelRatio(ratio); });

    QFont counters = style::font("MS Sans Serif", 16, true);
    label_score = style::label(panel_board1, 384, 18, "Score: 0", counters, style::kPale, 215, 22);
    label_linescleared =
        style::label(panel_board1, 384, 42, "Lines Cleared: 0", counters, style::kPale, 215, 22);
    label_level = style::label(panel_board1, 384, 66, "Level: 0", counters, style::kPale, 215, 22);

    image_keys = new controls::PictureLabel(":/pictures/key_legend.png", panel_board1);
    image_keys->setGeometry(296, 328, 130, 102);
    button_start = pictureButton(panel_board1, 448, 392, "start_game");
    connect(button_start, &PictureButton::clicked, this, guarded(this, &Tmain::button_startClick));
    image_logo = new PictureButton(":/pictures/maker_logo.png", panel_board1);
    image_logo->move(298, 443);
    connect(image_logo, &PictureButton::clicked, this, guarded(this, &Tmain::image_logoClick));

    buildNamePanel(panel_board1);
    buildUpdatePanel(panel_board1);
    buildGameOverPanel(panel_board1);
    buildPausePanel();
    describeControls();
}

void Tmain::buildNamePanel(QWidget* gameFrame) {
    panel_name = overlayPanel(gameFrame, 129, 112, 329, 161);
    title(panel_name, 12, "ENTER YOUR NAME", 19);
    edit_aname = nameField(panel_name, 84, 54, 161);
    button_namedone = pictureButton(panel_name, 33, 106, "done");
    button_namecancel = pictureButton(panel_name, 170, 106, "cancel");
    connect(button_namedone, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_namedoneClick));
    connect(button_namecancel, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_namecancelClick));
}

void Tmain::buildUpdatePanel(QWidget* gameFrame) {
    panel_update = overlayPanel(gameFrame, 133, 120, 329, 161);
    title(panel_update, 10, "Update Available", 19);
    title(panel_update, 44, "Would you like to update now?", 16)->setShadowOffset(1);
    button_updateyes = pictureButton(panel_update, 33, 82, "done");
    button_updatecancel = pictureButton(panel_update, 170, 82, "cancel");
    label_update = style::label(panel_update, 6, 137, QString(), style::font("MS Sans Serif", 16),
                                Qt::black, 317, 20);
}

void Tmain::buildGameOverPanel(QWidget* gameFrame) {
    panel_cleared = overlayPanel(gameFrame, 297, 109, 297, 217);
    title(panel_cleared, 6, "Game Over!", 19);
    label_score1 = style::label(panel_cleared, 2, 36, "Your Score: 0",
                                style::font("MS Sans Serif", 16, true), style::kYellow, 293, 22);
    label_score1->setAlignment(Qt::AlignHCenter);
    title(panel_cleared, 62, "Enter Your Name", 16)->setShadowOffset(1);
    edit_name = nameField(panel_cleared, 84, 86, 129);
    button_sendscore = pictureButton(panel_cleared, 16, 126, "send_score");
    button_highscores = pictureButton(panel_cleared, 155, 126, "view_scores");
    button_cancel = pictureButton(panel_cleared, 85, 171, "cancel");
    connect(button_cancel, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_cancelClick));

    // The posting strip lies over the send and view buttons while it shows.
    panel_wait = flatPanel(panel_cleared, 10, 124, 277, 44);
    panel_wait->setColor(style::kWindow);
    panel_wait->setColorHighLight(style::kPale);
    panel_wait->setColorShadow(style::kPale);
    panel_wait->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel_wait->setFont(style::font("MS Sans Serif", 13, true));
    panel_wait->setFontColor(style::kPale);
    panel_wait->setCaption("Posting Score, Please Wait......");
    panel_wait->hide();
}

void Tmain::buildPausePanel() {
    panel_pause = overlayPanel(panel_dropboard, 0, 0, 289, 504);
    title(panel_pause, 200, "GAME PAUSED", 21);
    ShadowLabel* line = title(panel_pause, 236, "Press P to resume", 13);
    line->setShadowOffset(1);
    panel_pause->installEventFilter(this);
}

}  // namespace velmora
