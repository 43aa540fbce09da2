// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt message boxes behind platform/dialogs.

#include <QString>

namespace velmora::platform {

// Makes showErrorBox open a modal QMessageBox (error icon, OK, `title` as
// caption), showMessage a plain one centred on the screen, and askConfirmation
// a Yes/No question box with the same caption.
void installQtDialogs(const QString& title);

}  // namespace velmora::platform
