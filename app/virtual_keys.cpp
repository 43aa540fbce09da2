// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/virtual_keys.h"

#include <Qt>

#include "engine/game.h"

namespace velmora {

uint16_t virtualKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left:
            return engine::keys::Left;
        case Qt::Key_Up:
            return engine::keys::Up;
        case Qt::Key_Right:
            return engine::keys::Right;
        case Qt::Key_Down:
            return engine::keys::Down;
        default:
            break;
    }
    // Qt's letter keys carry the capital's code, as virtual keys do.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<uint16_t>(qtKey);
    }
    return 0;
}

}  // namespace velmora
