#include "app/virtual_keys.h"

#include <Qt>

namespace velmora {

uint16_t virtualKeyCode(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        default:
            break;
    }
    // Qt's letter keys carry the capital's code, as virtual keys do.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<uint16_t>(qtKey);
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return static_cast<uint16_t>(qtKey);
    }
    return 0;
}

}  // namespace velmora
