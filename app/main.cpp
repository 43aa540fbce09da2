// Velmora: starts the application and its windows in their fixed order.

#include <clocale>

#include "app/aboutform.h"
#include "app/application.h"
#include "app/helpform.h"
#include "app/mainform.h"
#include "app/termination.h"
#include "controls/fonts.h"
#include "platform/paths.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_shell.h"
#include "platform/qt_sound_player.h"
#include "tally/tallylistform.h"

int main(int argc, char** argv) {
    velmora::Application application(argc, argv);
    std::setlocale(LC_TIME, "");
    velmora::controls::installFontSubstitutions();
    velmora::platform::installQtDialogs(velmora::Application::kTitle);

    velmora::platform::QtSoundPlayer sound;
    velmora::platform::QtShell shell;
    velmora::MainEnvironment environment;
    environment.filesFolder = velmora::platform::filesFolder("velmora");
    environment.sound = &sound;
    environment.shell = &shell;
    velmora::Tmain mainWindow(environment);
    // Secondary windows come after the main window and stay hidden; the tally
    // window is destroyed first at exit, which saves the tally file.
    velmora::Tabout aboutWindow(shell, &mainWindow);
    velmora::Thelp helpWindow(&aboutWindow, &mainWindow);
    mainWindow.setHelpWindows(&helpWindow, &aboutWindow, &aboutWindow.URL1);
    velmora::Ttallylist tallyWindow(velmora::tally::TallyFile::pathFor(mainWindow.appname));
    mainWindow.setTallyTarget(&tallyWindow);
    mainWindow.setTallyWindow(&tallyWindow);

    velmora::closeOnTermination(&mainWindow);

    mainWindow.show();
    return application.exec();
}
