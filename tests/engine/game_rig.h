// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A game wired to a recording host and a virtual timer, with helpers that
// build wells and place pieces directly.

#include <initializer_list>

#include "engine/game.h"
#include "recording_host.h"
#include "virtual_timer.h"

namespace velmora::engine::testing {

struct GameRig {
    EventLog log;
    VirtualTimer timer{log};
    RecordingHost host{log};
    Game game{host, timer};

    explicit GameRig(uint32_t seed = 1) {
        timer.onTick([this] { game.downtimerTimer(); });
        game.seedRandom(seed);
        game.clearall();
    }

    // Starts a game and forgets what the start itself recorded.
    void start() {
        game.button_startClick();
        host.clearRecords();
    }

    // Makes the falling piece type in rotation turn with its box at (x, y).
    void placePiece(uint8_t type, uint8_t turn, uint8_t x, uint8_t y) {
        game.blocktype = type;
        game.blockturn = turn;
        game.blockcells = shapeMask(type, turn);
        game.blockx = x;
        game.blocky = y;
    }

    // Fills columns 1 to 10 of row with value, leaving the listed columns empty.
    void fillRow(int row, std::initializer_list<int> holes = {}, uint8_t value = 1) {
        for (int column = 1; column <= 10; ++column) {
            game.wellcells[column][row] = value;
        }
        for (int hole : holes) {
            game.wellcells[hole][row] = 0;
        }
    }

    // Fires ticks until the flash has run out.
    void finishFlash() {
        while (game.flashcount != 0 && timer.fireNext()) {
        }
    }
};

}  // namespace velmora::engine::testing
