// SPDX-License-Identifier: GPL-3.0-or-later
// The player's actions and the options a player may choose: drop, the
// landing shadow and the starting level.
#include "engine/artwork.h"
#include "engine/game.h"
#include "engine/painter.h"

namespace velmora::engine {

namespace {

constexpr int kLowestStartingLevel = 1;
constexpr int kHighestStartingLevel = 10;

}  // namespace

void Game::act(Action action) {
    if (!gamerunning() || flashcount != 0) {
        return;
    }
    switch (action) {
        case Action::MoveLeft: move(-1, 0); break;
        case Action::MoveRight: move(1, 0); break;
        case Action::MoveDown: move(0, 1); break;
        case Action::TurnLeft: Rotate(1); break;
        case Action::TurnRight: Rotate(kRotateBackwards); break;
        case Action::Drop: drop(); break;
        case Action::Pause: pausethegame(); break;
        case Action::NewGame: break;
    }
}

uint8_t Game::landingRow() const {
    int row = blocky;
    while (fits(wellcells, blockcells, blockx, row + 1)) {
        ++row;
    }
    return static_cast<uint8_t>(row);
}

void Game::drop() {
    if (gamepaused()) {
        return;
    }
    const uint8_t row = landingRow();
    if (row != blocky) {
        blocky = row;
        // Drawn where it lands, so a flash that starts now begins from there.
        Drawblock();
    }
    settle();
}

void Game::setLandingShadow(bool shown) {
    landingShadow_ = shown;
    if (gamerunning()) {
        Drawblock();
    }
}

void Game::setStartingLevel(int level) {
    const bool valid = level >= kLowestStartingLevel && level <= kHighestStartingLevel;
    startingLevel_ = static_cast<uint8_t>(valid ? level : kLowestStartingLevel);
}

void Game::drawLandingShadow() {
    const Artwork& tiles = art();
    const int size = tiles.tileSize;
    const uint32_t colour = tiles.tiles[blocktype].at(size / 2, size / 2);
    drawOutline(board_, blockcells, colour, size * blockx, size * landingRow(), size);
}

}  // namespace velmora::engine
