// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual-key codes of the keys the game reads, from Qt key events.

#include <cstdint>

namespace velmora {

// The Windows-style virtual-key code of a Qt key (Qt::Key), or 0 for a key
// that has none the game knows. Letters map to their capital's code, so a
// and A give the same code.
uint16_t virtualKeyCode(int qtKey);

}  // namespace velmora
