// SPDX-License-Identifier: GPL-3.0-or-later
// Velmora: starts the application and its windows in their fixed order.

#include <QAction>
#include <clocale>
#include <iostream>
#include <optional>

#include "app/aboutform.h"
#include "app/command_line.h"
#include "app/controlsform.h"
#include "app/gamepad.h"
#include "app/helpform.h"
#include "app/highscoreform.h"
#include "app/mainform.h"
#include "app/tallylistform.h"
#include "app/termination.h"
#include "controls/fonts.h"
#include "platform/paths.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_dispatcher.h"
#include "platform/qt_shell.h"
#include "platform/qt_sound_player.h"
#include "ui/application.h"
#include "ui/first_frame.h"

int main(int argc, char** argv) {
    // Answered before Qt starts, so they need no display.
    if (auto status = velmora::answerCommandLine(argc, argv, std::cout)) {
        return *status;
    }
    velmora::Application application(argc, argv, /*withIcon=*/false);
    std::setlocale(LC_TIME, "");
    velmora::controls::installFontSubstitutions();
    velmora::platform::installQtDialogs(velmora::Application::kTitle);

    // Fetches hand their results to this thread through it; it outlives the windows.
    auto dispatcher = std::make_shared<velmora::platform::QtDispatcher>();
    velmora::platform::QtSoundPlayer sound(velmora::platform::QtSoundPlayer::Opening::WhenAllowed);
    velmora::platform::QtShell shell;
    velmora::MainEnvironment environment;
    environment.filesFolder = velmora::platform::filesFolder("velmora");
    environment.sound = &sound;
    environment.shell = &shell;
    environment.holdFirstShowStep = true;
    velmora::Tmain mainWindow(environment);
    // Secondary windows come after the main window and stay hidden; the tally
    // window is destroyed first at exit, which saves the tally file.
    std::optional<velmora::Tcontrols> controlsWindow;
    std::optional<velmora::Gamepad> gamepad;
    std::optional<velmora::Tabout> aboutWindow;
    std::optional<velmora::Thelp> helpWindow;
    std::optional<velmora::Thighscore> highscoreWindow;
    std::optional<velmora::Ttallylist> tallyWindow;
    // The first frame needs only the main window; the rest of the start-up,
    // in its order, comes right after it.
    velmora::afterFirstFrame(&mainWindow, [&] {
        application.setWindowIcon(velmora::applicationIcon());
        aboutWindow.emplace(shell, &mainWindow);
        helpWindow.emplace(&*aboutWindow, &mainWindow);
        mainWindow.setHelpWindows(&*helpWindow, &*aboutWindow, &aboutWindow->URL1);
        velmora::HighScoreEnvironment scores;
        scores.serverAddress = mainWindow.serverAddress();
        scores.appname = mainWindow.appname;
        scores.dispatcher = dispatcher;
        scores.shell = &shell;
        highscoreWindow.emplace(scores);
        tallyWindow.emplace(velmora::tally::TallyFile::pathFor(mainWindow.appname));
        mainWindow.setTallyTarget(&*tallyWindow);
        mainWindow.setTallyWindow(&*tallyWindow);
        tallyWindow->setCentredOver(&mainWindow);
        mainWindow.setHighScoreList(&*highscoreWindow);
        highscoreWindow->setPostTarget(&mainWindow);
        // Sounds off: the sound server is reached only once a sound plays.
        sound.allowOutput(mainWindow.PlaySounds1->isChecked());
        controlsWindow.emplace(&mainWindow);
        mainWindow.setControlsOpener(
            [&controlsWindow](const velmora::KeyBindings& bindings) { controlsWindow->edit(bindings); });
        controlsWindow->setOnDone(
            [&mainWindow](const velmora::KeyBindings& bindings) { mainWindow.setBindings(bindings); });
        // A pad button binds while the controls window waits for one, else it plays.
        // Without SDL controller support the game runs on the keyboard alone.
        gamepad.emplace();
        QObject::connect(&*gamepad, &velmora::Gamepad::buttonPressed, &mainWindow,
                         [&](const QString& button) {
                             if (!controlsWindow->takePadButton(button)) {
                                 mainWindow.padButton(button);
                             }
                         });
        gamepad->start();
        mainWindow.runHeldShowStep();
    });

    velmora::closeOnTermination(&mainWindow);

    mainWindow.show();
    return application.exec();
}
