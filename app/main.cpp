// Velmora: starts the application and its windows in their fixed order.

#include <clocale>

#include "app/application.h"
#include "app/mainform.h"
#include "controls/fonts.h"
#include "platform/paths.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_sound_player.h"

int main(int argc, char** argv) {
    velmora::Application application(argc, argv);
    std::setlocale(LC_TIME, "");
    velmora::controls::installFontSubstitutions();
    velmora::platform::installQtDialogs();

    velmora::platform::QtSoundPlayer sound;
    velmora::MainEnvironment environment;
    environment.filesFolder = velmora::platform::filesFolder("velmora");
    environment.sound = &sound;
    velmora::Tmain mainWindow(environment);

    mainWindow.show();
    return application.exec();
}
