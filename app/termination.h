// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A request to end the program from outside (SIGTERM at logout, SIGINT from a
// terminal) closes the main window the normal way, so the settings and the
// tally are saved as at any other exit.

class QWidget;

namespace velmora {

// Installs the signal handlers; `window` is closed when a signal arrives.
// Call once, on the UI thread, after the window exists.
void closeOnTermination(QWidget* window);

}  // namespace velmora
