#include "app/application.h"

namespace velmora {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("velmora");
    // No display name: the desktop would append it to every window's title,
    // and each title is exactly its caption.
}

}  // namespace velmora
