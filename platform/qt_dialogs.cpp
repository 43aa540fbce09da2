#include "platform/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/dialogs.h"

namespace velmora::platform {

void installQtDialogs(const QString& title) {
    setErrorBoxHandler([title](const std::string& text) {
        QMessageBox::critical(QApplication::activeWindow(), title, QString::fromStdString(text),
                              QMessageBox::Ok);
    });
    setConfirmHandler([title](const std::string& text) {
        QMessageBox box(QMessageBox::Question, title, QString::fromStdString(text),
                        QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
        return box.exec() == QMessageBox::Yes;
    });
}

}  // namespace velmora::platform
