// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Font names the windows ask for, mapped to fonts a Linux desktop has.

namespace velmora::controls {

// Makes "Arial" and "MS Sans Serif" fall back to Liberation Sans and "Times
// New Roman" to Liberation Serif wherever those fonts are missing, so text
// keeps the metrics the layouts were made for. Call once, after the
// QApplication exists and before the first window is created.
void installFontSubstitutions();

}  // namespace velmora::controls
