#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include "platform/dialogs.h"

namespace velmora::platform {

void installQtDialogs() {
    setErrorBoxHandler([](const std::string& text) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                              QString::fromStdString(text), QMessageBox::Ok);
    });
    // No parent: the box is centred on the screen, not over a window.
    setMessageHandler([](const std::string& text) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                        QString::fromStdString(text), QMessageBox::Ok);
        // Qt places a parentless box by a guess at its size; place it by the real one.
        box.adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            box.move(screen->availableGeometry().center() - box.rect().center());
        }
        box.exec();
    });
    setConfirmHandler([](const std::string& text) {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(),
                        QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        return box.exec() == QMessageBox::Yes;
    });
}

}  // namespace velmora::platform
