// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "app/game_timer.h"
#include "app/picture_view.h"
#include "app/settings.h"
#include "app/shadow_label.h"
#include "controls/ButtonComps.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"
#include "online/HTTPGet.h"
#include "online/HttpCli.h"
#include "online/URL.h"
#include "online/server_address.h"
#include "platform/dialogs.h"
#include "platform/ini.h"
#include "platform/mutex.h"
#include "platform/qt_screen.h"
#include "platform/sound.h"
#include "ui/secondary_window.h"
#include "ui/ui_style.h"

namespace velmora {

Tmain* main = nullptr;

namespace {

// Milliseconds since midnight, UTC: the seed of the piece generator.
uint32_t utcTimeOfDaySeed() {
    using namespace std::chrono;
    auto now = system_clock::now().time_since_epoch();
    auto ms = duration_cast<milliseconds>(now).count() % (24LL * 60 * 60 * 1000);
    auto total = static_cast<int>(ms);
    return engine::Game::seedFromTimeOfDay(total / 3600000, total / 60000 % 60, total / 1000 % 60,
                                           total % 1000);
}

}  // namespace

Tmain::Tmain(MainEnvironment environment, QWidget* parent)
    : QMainWindow(parent), environment_(std::move(environment)) {
    main = this;
    setWindowTitle("Velmora");
    downtimer = new WindowTimer(this);
    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    game_ = std::make_unique<engine::Game>(*this, *downtimer);
    connect(downtimer, &WindowTimer::timeout, this,
            [this] { platform::runGuarded([this] { game_->downtimerTimer(); }); });
    buildMenu();
    buildClientArea();
    setupUpdate();
    connectPosting();
    FormCreate();
}

Tmain::~Tmain() {
    if (main == this) {
        main = nullptr;
    }
}

// --- Creation and the window's own events ---------------------------------

void Tmain::FormCreate() {
    mutex_ = std::make_unique<platform::NamedMutex>(appname);
    defaultwidth = 626;
    defaultheight = 594;
    if (environment_.seedFromClock) {
        game_->seedRandom(utcTimeOfDaySeed());
    }
    loadinifile();
    playsounds("entered");
    ChangeName1Click();
    game_->clearall();
}

void Tmain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The settings give the outer size, frame included; the frame is known
    // only once the window is on screen.
    if (!frameAdjusted_ && frameGeometry().size() != geometry().size()) {
        frameAdjusted_ = true;
        setOuterBounds(pendingOuterBounds_);
    }
    // Shown by the program, not restored from an icon by the desktop.
    if (!event->spontaneous()) {
        if (environment_.holdFirstShowStep) {
            environment_.holdFirstShowStep = false;
        } else {
            FormShow();
        }
    }
}

void Tmain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

// The size rule, applied here and not only as a hint: without a window
// manager, or with one that ignores hints, nothing else keeps the window
// (and so the saved size) from shrinking below the layout.
void Tmain::FormResize() {
    if (centralWidget() == nullptr) {
        return;
    }
    // The layout never gives the central widget less than its minimum, so
    // the client area is measured from the window itself.
    QSize client = size() - QSize(0, centralWidget()->y());
    QSize wanted(std::max(client.width(), kMinClientWidth),
                 std::max(client.height(), kMinClientHeight));
    if (wanted != client) {
        resize(size() + (wanted - client));
    }
}

QRect Tmain::outerBounds() const {
    QRect frame = frameGeometry();
    return {frame.x(), frame.y(), frame.width(), frame.height()};
}

void Tmain::setOuterBounds(const QRect& bounds) {
    pendingOuterBounds_ = bounds;
    QSize frameExtra = frameGeometry().size() - geometry().size();
    move(bounds.topLeft());
    resize(bounds.width() - frameExtra.width(), bounds.height() - frameExtra.height());
}

void Tmain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    // The application ends with its main window, secondary windows open or not.
    QApplication::quit();
}

void Tmain::FormClose() {
    QRect bounds = outerBounds();
    if (bounds.top() != savedtop || bounds.left() != savedleft || bounds.height() != savedheight ||
        bounds.width() != savedwidth) {
        QRect area = platform::workArea();
        QRect adjusted = bounds;
        if (area.isValid() && adjusted.width() > area.width()) {
            adjusted.setWidth(adjusted.width() - 3);
        }
        if (area.isValid() && adjusted.height() > area.height()) {
            adjusted.setHeight(adjusted.height() - 3);
        }
        if (adjusted != bounds) {
            setOuterBounds(adjusted);
        }
        savedleft = adjusted.left();
        savedtop = adjusted.top();
        savedwidth = adjusted.width();
        savedheight = adjusted.height();
    }
    // A refused write is shown; the program still ends, since keeping the
    // window open would not make the folder writable.
    try {
        saveinifile();
    } catch (const std::exception& error) {
        platform::showErrorBox(error.what());
    }
}

void Tmain::keyPressEvent(QKeyEvent* event) {
    if (panelKeyPressed(*event)) {
        return;
    }
    std::optional<engine::Action> action = bindings_.actionForKey(event->keyCombination());
    if (!action) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    // Each key-down, auto-repeated ones included, is one step.
    platform::runGuarded([&] { performAction(*action); });
}

bool Tmain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_pause && event->type() == QEvent::MouseButtonRelease) {
        platform::runGuarded([this] { panel_pauseClick(); });
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- Settings ---------------------------------------------------------------

std::string Tmain::settingsPath() const {
    return environment_.filesFolder + appname + ".ini";
}

void Tmain::loadinifile() {
    app::Settings settings = app::loadSettings(settingsPath(), appname);
    savedtop = settings.top;
    savedleft = settings.left;
    savedwidth = settings.width;
    savedheight = settings.height;
    // A size no screen can show would only cost memory and time at every
    // start; the position is kept, off-screen or not.
    QSize limit = platform::virtualDesktop().size() + (frameGeometry().size() - geometry().size());
    setOuterBounds(QRect(savedleft, savedtop,
                         limit.isEmpty() ? savedwidth : std::min(savedwidth, limit.width()),
                         limit.isEmpty() ? savedheight : std::min(savedheight, limit.height())));
    PlaySounds1->setChecked(settings.sounds);
    updatecheck->setChecked(settings.update);
    keepUpdateOption(settings.update);
    edit_name->setText(QString::fromStdString(settings.name));
    edit_aname->setText(edit_name->text());
    serverAddress_ = online::serverAddress(settings.server.value_or(std::string()));
    loadPlayerOptions();
}

void Tmain::saveinifile() {
    app::Settings settings;
    QRect bounds = outerBounds();
    settings.top = bounds.top();
    settings.left = bounds.left();
    settings.width = bounds.width();
    settings.height = bounds.height();
    settings.name = edit_name->text().toStdString();
    settings.sounds = PlaySounds1->isChecked();
    settings.update = updateOptionToSave();
    app::saveSettings(settingsPath(), appname, settings);
    savePlayerOptions();
}

// --- Sounds -----------------------------------------------------------------

void Tmain::playsounds(const std::string& name) {
    if (environment_.sound != nullptr) {
        platform::playSoundRequest(*environment_.sound, PlaySounds1->isChecked(), name);
    }
}

void Tmain::PlaySounds1Click() {
    saveinifile();
}

// --- Menu and button handlers -----------------------------------------------

void Tmain::button_startClick() {
    game_->button_startClick();
    focusGame();
}

void Tmain::StartGame1Click() {
    button_startClick();
    panel_cleared->hide();
}

void Tmain::ResetScreenLocation1Click() {
    setOuterBounds(QRect(3, 3, defaultwidth, defaultheight));
}

void Tmain::ChangeName1Click() {
    showInFront(panel_name);
    edit_aname->setFocus();
}

void Tmain::button_namedoneClick() {
    edit_name->setText(edit_aname->text());
    panel_name->hide();
    focusGame();
}

void Tmain::button_namecancelClick() {
    panel_name->hide();
    focusGame();
}

void Tmain::button_cancelClick() {
    panel_cleared->hide();
    focusGame();
}

void Tmain::Pause1Click() {
    game_->pausethegame();
}

void Tmain::panel_pauseClick() {
    game_->pausethegame();
}

void Tmain::TallyList1Click() {
    if (tallyWindow_ != nullptr) {
        tallyWindow_->show();
        tallyWindow_->raise();
        tallyWindow_->activateWindow();
    }
}

void Tmain::setHelpWindows(QWidget* helpWindow, QWidget* aboutWindow, online::TURL* makerLink) {
    helpWindow_ = helpWindow;
    aboutWindow_ = aboutWindow;
    makerLink_ = makerLink;
}

void Tmain::image_logoClick() {
    if (makerLink_ != nullptr) {
        makerLink_->OpenURL();
    }
}

void Tmain::Help1Click() {
    bringForward(helpWindow_);
}

void Tmain::About1Click() {
    bringForward(aboutWindow_);
}

void Tmain::showInFront(QWidget* widget) {
    widget->show();
    widget->raise();
}

void Tmain::focusGame() {
    centralWidget()->setFocus();
}

// --- What the engine asks of the window -------------------------------------

void Tmain::addtomineincrease(int column, int32_t amount) {
    if (tally_ != nullptr) {
        tally_->addtomineincrease(column, amount);
    }
}

bool Tmain::checkscore(int32_t score, const std::string& name) {
    return tally_ != nullptr && tally_->checkscore(score, name);
}

void Tmain::checkchange(int column, int32_t value) {
    if (tally_ != nullptr) {
        tally_->checkchange(column, value);
    }
}

// The labels' tags (reported score, level announced) are held by the engine.
void Tmain::setLabel(engine::Label label, const std::string& caption) {
    QString text = QString::fromStdString(caption);
    switch (label) {
        case engine::Label::Score:
            label_score->setText(text);
            break;
        case engine::Label::LinesCleared:
            label_linescleared->setText(text);
            break;
        case engine::Label::Level:
            label_level->setText(text);
            break;
        case engine::Label::Greeting:
            label_name->setText(text);
            break;
        case engine::Label::FinalScore:
            label_score1->setText(text);
            break;
    }
    describeWell();
}

void Tmain::setPanelVisible(engine::Panel panel, bool visible) {
    QWidget* widget = nullptr;
    switch (panel) {
        case engine::Panel::StartButton:
            widget = button_start;
            break;
        case engine::Panel::WaitPanel:
            widget = panel_wait;
            break;
        case engine::Panel::NamePanel:
            widget = panel_name;
            break;
        case engine::Panel::GameOverPanel:
            widget = panel_cleared;
            break;
        case engine::Panel::PausePanel:
            widget = panel_pause;
            break;
        case engine::Panel::SendScoreButton:
            widget = button_sendscore;
            break;
    }
    if (visible) {
        showInFront(widget);
    } else {
        widget->hide();
    }
}

void Tmain::setPauseChecked(bool checked) {
    Pause1->setChecked(checked);
}

std::string Tmain::playerName() const {
    return edit_name->text().toStdString();
}

void Tmain::picturesChanged() {
    image_board->update();
    image_next->update();
}

}  // namespace velmora
