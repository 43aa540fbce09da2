#pragma once
// Qt message boxes behind platform/dialogs.

namespace velmora::platform {

// Makes showErrorBox open a modal QMessageBox (error icon, OK, the
// application's title as caption), showMessage a plain one centred on the
// screen, and askConfirmation a Yes/No question box.
void installQtDialogs();

}  // namespace velmora::platform
