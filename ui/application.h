// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object, titled "Velmora", with the icon of its desktop entry.

#include <QApplication>
#include <QIcon>

namespace velmora {

class Application : public QApplication {
    Q_OBJECT
  public:
    // The caption of the program's message boxes.
    static constexpr const char* kTitle = "Velmora";

    // Without `withIcon` the program sets the icon itself later
    // (setWindowIcon(applicationIcon())): decoding its six sizes is work the
    // first frame does not need.
    Application(int& argc, char** argv, bool withIcon = true);
};

// The program's icon in every size the desktop is given, the same pictures
// the installed desktop entry shows.
QIcon applicationIcon();

}  // namespace velmora
