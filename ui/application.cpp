// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/application.h"

namespace velmora {

Application::Application(int& argc, char** argv, bool withIcon) : QApplication(argc, argv) {
    setApplicationName("velmora");
    // No display name: the desktop would append it to every window's title,
    // and each title is exactly its caption.

    // Lets Wayland compositors and docks match the window to velmora.desktop.
    setDesktopFileName("velmora");
    if (withIcon) {
        setWindowIcon(applicationIcon());
    }
}

QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/pictures/icon_%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace velmora
