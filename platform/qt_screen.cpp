// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace velmora::platform {

QRect workArea() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QRect virtualDesktop() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->virtualGeometry() : QRect();
}

}  // namespace velmora::platform
