// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/secondary_window.h"

namespace velmora {

SecondaryWindow::SecondaryWindow(QWidget* centreOver, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), centreOver_(centreOver) {
    // Closing a secondary window must never be what ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void SecondaryWindow::setVisible(bool visible) {
    if (visible && !isVisible()) {
        centre();
    }
    QWidget::setVisible(visible);
}

void SecondaryWindow::centre() {
    if (centreOver_ == nullptr) {
        return;
    }
    const QRect over = centreOver_->frameGeometry();
    QSize own = frameGeometry().size();
    // Before the first showing the frame is not known yet; the window it is
    // centred over shows the frame windows get here.
    if (own == size()) {
        own += over.size() - centreOver_->size();
    }
    move(over.x() + (over.width() - own.width()) / 2,
         over.y() + (over.height() - own.height()) / 2);
}

void bringForward(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace velmora
