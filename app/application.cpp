#include "app/application.h"

namespace velmora {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("velmora");
    // No display name: the desktop would add it to every window's caption,
    // and the captions are the program's own ("Velmora - Help File").
}

}  // namespace velmora
