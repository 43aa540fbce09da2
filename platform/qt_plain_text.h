// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text from outside the program (the player's name, the tally file, a
// server's reply, a file name in a message) shown exactly as it is. Qt's
// labels and message boxes guess "rich text" for anything that looks like
// markup, and rich text can carry links, pictures and styles; every label and
// message box of the program is made plain here, in one place.

#include <QString>

class QLabel;
class QMessageBox;

namespace velmora::platform {

// From now on the label shows whatever it is given as plain text.
void makePlainText(QLabel& label);
void makePlainText(QMessageBox& box);

}  // namespace velmora::platform
