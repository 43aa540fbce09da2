// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

#include "platform/dialogs.h"
#include "platform/qt_plain_text.h"

namespace velmora::platform {

void installQtDialogs(const QString& title) {
    setErrorBoxHandler([title](const std::string& text) {
        QMessageBox box(QMessageBox::Critical, title, QString::fromStdString(text),
                        QMessageBox::Ok, QApplication::activeWindow());
        makePlainText(box);
        box.exec();
    });
    // No parent: the box is centred on the screen, not over a window.
    setMessageHandler([title](const std::string& text) {
        QMessageBox box(QMessageBox::NoIcon, title,
                        QString::fromStdString(text), QMessageBox::Ok);
        makePlainText(box);
        // Qt places a parentless box by a guess at its size; place it by the real one.
        box.adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            box.move(screen->availableGeometry().center() - box.rect().center());
        }
        box.exec();
    });
    setConfirmHandler([title](const std::string& text) {
        QMessageBox box(QMessageBox::Question, title,
                        QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                        QApplication::activeWindow());
        makePlainText(box);
        return box.exec() == QMessageBox::Yes;
    });
}

}  // namespace velmora::platform
