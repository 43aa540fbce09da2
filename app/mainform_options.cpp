// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's player options: the controls (keys and gamepad buttons
// bound to actions), the landing shadow, the starting level and pausing when
// the window loses the focus. At their defaults the game is the one it always
// was, and the settings file gains their keys only once the player chooses.

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>

#include "app/mainform.h"
#include "platform/dialogs.h"
#include "ui/guarded.h"

namespace velmora {

namespace {

constexpr int kStartingLevels = 10;

}  // namespace

void Tmain::buildPlayerOptionsMenu(QMenu* options) {
    options->addSeparator();
    Controls1 = options->addAction("Controls...", this, guarded(this, &Tmain::Controls1Click));
    ShowLandingPosition1 = options->addAction("Show Landing Position");
    ShowLandingPosition1->setCheckable(true);
    connect(ShowLandingPosition1, &QAction::triggered, this,
            guarded(this, &Tmain::ShowLandingPosition1Click));

    StartingLevel1 = options->addMenu("Starting Level");
    auto* levels = new QActionGroup(StartingLevel1);
    for (int level = 1; level <= kStartingLevels; ++level) {
        QAction* item = StartingLevel1->addAction(QString::number(level));
        item->setCheckable(true);
        item->setChecked(level == 1);
        levels->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, level] { platform::runGuarded([this, level] { StartingLevelClick(level); }); });
    }

    PauseWhenInactive1 = options->addAction("Pause When Inactive");
    PauseWhenInactive1->setCheckable(true);
    connect(PauseWhenInactive1, &QAction::triggered, this,
            guarded(this, &Tmain::PauseWhenInactive1Click));
}

void Tmain::loadPlayerOptions() {
    options_ = app::loadPlayerOptions(settingsPath(), appname);
    ShowLandingPosition1->setChecked(options_.landingShadow.value_or(false));
    game_->setLandingShadow(ShowLandingPosition1->isChecked());
    game_->setStartingLevel(options_.startLevel.value_or(1));
    StartingLevel1->actions().at(game_->startingLevel() - 1)->setChecked(true);
    PauseWhenInactive1->setChecked(options_.pauseOnFocusLoss.value_or(false));
    bindings_ = KeyBindings::fromText(app::loadControlsText(settingsPath()));
    applyNewGameShortcuts();
}

void Tmain::savePlayerOptions() {
    app::savePlayerOptions(settingsPath(), appname, options_);
}

// Options save at once, as "Play Sounds" does.
void Tmain::ShowLandingPosition1Click() {
    options_.landingShadow = ShowLandingPosition1->isChecked();
    game_->setLandingShadow(*options_.landingShadow);
    saveinifile();
}

// The level applies from the next game on.
void Tmain::StartingLevelClick(int level) {
    options_.startLevel = level;
    game_->setStartingLevel(level);
    saveinifile();
}

void Tmain::PauseWhenInactive1Click() {
    options_.pauseOnFocusLoss = PauseWhenInactive1->isChecked();
    saveinifile();
}

void Tmain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow()) {
        return;
    }
    if (PauseWhenInactive1->isChecked() && game_->gamerunning() && !game_->gamepaused()) {
        platform::runGuarded([this] { game_->pausethegame(); });
    }
}

// --- Controls ---------------------------------------------------------------

void Tmain::Controls1Click() {
    if (controlsOpener_) {
        controlsOpener_(bindings_);
    }
}

void Tmain::setBindings(const KeyBindings& bindings) {
    bindings_ = bindings;
    applyNewGameShortcuts();
    // A refused write is shown; the bindings still hold for this run.
    try {
        app::saveControlsText(settingsPath(), bindings_.toText());
    } catch (const std::exception& error) {
        platform::showErrorBox(error.what());
    }
}

// New Game is the menu's Start Game, so its keys are the item's shortcuts.
void Tmain::applyNewGameShortcuts() {
    QList<QKeySequence> shortcuts;
    for (const auto& key : bindings_[engine::Action::NewGame].keys) {
        if (key) {
            shortcuts << QKeySequence(*key);
        }
    }
    StartGame1->setShortcuts(shortcuts);
}

void Tmain::performAction(engine::Action action) {
    if (action == engine::Action::NewGame) {
        StartGame1Click();
    } else {
        game_->act(action);
    }
}

void Tmain::padButton(const QString& button) {
    if (std::optional<engine::Action> action = bindings_.actionForPad(button)) {
        platform::runGuarded([this, &action] { performAction(*action); });
    }
}

}  // namespace velmora
