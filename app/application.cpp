#include "app/application.h"

namespace velmora {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("velmora");
    setApplicationDisplayName("Velmora");
}

}  // namespace velmora
