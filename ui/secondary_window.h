// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window that lives beside the main window for the whole run: modeless,
// centred over the main window each time it is shown, and only hidden when
// it is closed.

#include <QPointer>
#include <QWidget>

namespace velmora {

class SecondaryWindow : public QWidget {
    Q_OBJECT
  public:
    // `centreOver` is the window it is placed over when shown; nullptr (or a
    // window that is gone) leaves it where it is.
    explicit SecondaryWindow(QWidget* centreOver, Qt::WindowFlags flags = Qt::Window);

    // Centres the window before it becomes visible, so it never shows
    // elsewhere first; showing it again while it shows does not move it.
    void setVisible(bool visible) override;

  private:
    void centre();

    QPointer<QWidget> centreOver_;
};

// Shows a secondary window, or brings it forward when it shows already.
void bringForward(QWidget* window);

}  // namespace velmora
