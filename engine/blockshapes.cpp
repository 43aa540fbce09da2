// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/blockshapes.h"

namespace velmora::engine {

Mask unpackMask(uint16_t packed) {
    Mask mask{};
    for (int k = 0; k < 16; ++k) {
        mask[k] = (packed >> (15 - k)) & 1u;
    }
    return mask;
}

Mask shapeMask(uint8_t type, uint8_t turn) {
    if (type >= kPieceTypes) {
        return Mask{};
    }
    return unpackMask(blockshapes[type][turn % kRotations]);
}

}  // namespace velmora::engine
