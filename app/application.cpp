#include "app/application.h"

namespace velmora {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("velmora");
    setApplicationDisplayName("Velmora");
    // Lets Wayland compositors and docks match the window to velmora.desktop.
    setDesktopFileName("velmora");
    setWindowIcon(applicationIcon());
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/pictures/icon_%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace velmora
