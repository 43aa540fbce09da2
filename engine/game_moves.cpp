// SPDX-License-Identifier: GPL-3.0-or-later
// Movement, rotation and gravity of the falling piece.
#include "engine/game.h"

namespace velmora::engine {

bool Game::move(int dx, int dy) {
    if (gamepaused()) {
        return false;
    }
    if (!fits(wellcells, blockcells, blockx + dx, blocky + dy)) {
        return false;
    }
    blockx = static_cast<uint8_t>(blockx + dx);
    blocky = static_cast<uint8_t>(blocky + dy);
    Drawblock();
    return true;
}

bool Game::Rotate(int direction) {
    if (gamepaused()) {
        return false;
    }
    const Mask before = blockcells;
    const uint8_t step = direction == kRotateBackwards ? 0xFF : 1;  // byte arithmetic
    blockturn = static_cast<uint8_t>(blockturn + step);
    blockcells = shapeMask(blocktype, blockturn);
    // The box stays put: a turn that does not fit where it is gets refused.
    const bool turned = fits(wellcells, blockcells, blockx, blocky);
    if (!turned) {
        blockturn = static_cast<uint8_t>(blockturn - step);
        blockcells = before;
    }
    Drawblock();
    host_.playsounds("rotate");
    return turned;
}

void Game::dropitdown() {
    if (gamepaused()) {
        return;
    }
    if (flashcount != 0) {
        flashStep();
        return;
    }
    if (!move(0, 1)) {
        settle();
    }
}

void Game::settle() {
    host_.playsounds("place");
    stamp(wellcells, blockcells, blockx, blocky, static_cast<uint8_t>(blocktype + 1));
    getlinescleared();
}

}  // namespace velmora::engine
