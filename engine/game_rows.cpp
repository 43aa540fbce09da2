// SPDX-License-Identifier: GPL-3.0-or-later
// Full rows: the check after a piece settles, the flash, and finishing the
// clear with points, counters, speed and sounds.
#include "engine/game.h"

#include "engine/scoring.h"

namespace velmora::engine {

void Game::getlinescleared() {
    fullcount = 0;
    fullrows.fill(0);
    for (int row = kFirstPlayRow; row <= kLastPlayRow; ++row) {
        // A piece spans four rows, so more never fill at once in play; a well
        // set up otherwise keeps the rest for the next check.
        if (rowIsFull(wellcells, row) && fullcount < fullrows.size()) {
            fullrows[fullcount++] = static_cast<uint8_t>(row);
        }
    }
    if (fullcount == 0) {
        createblock();
        return;
    }
    flashcount = 6;
    timer_.setInterval(kFlashStartInterval);
    for (int slot = 0; slot < fullcount; ++slot) {
        for (int i = 0; i < kPlayColumns; ++i) {
            fullsave[slot][i] = wellcells[kFirstPlayColumn + i][fullrows[slot]];
        }
    }
}

void Game::flashStep() {
    const bool odd = flashcount % 2 != 0;
    timer_.setInterval(flashspeeds[odd ? 1 : 0]);
    showFullRows(odd);
    --flashcount;
    if (flashcount == 0) {
        finishClear();
    }
    Drawblock();
}

void Game::showFullRows(bool shown) {
    for (int slot = 0; slot < fullcount; ++slot) {
        for (int i = 0; i < kPlayColumns; ++i) {
            wellcells[kFirstPlayColumn + i][fullrows[slot]] = shown ? fullsave[slot][i] : kEmptyCell;
        }
    }
}

void Game::finishClear() {
    removeFullRows();
    if (fullcount == 4) {
        host_.addtomineincrease(3, 1);
    }
    score = saturatingAdd(score, clearPoints(fullcount, startlevel));
    lines = saturatingAdd(lines, fullcount);
    host_.addtomineincrease(2, fullcount);
    reportedScore_ = score;
    showCounters();
    timer_.setInterval(gravityInterval(level()));
    host_.playsounds(fullcount == 4 ? "tetris" : "lineclear");
    if (level() > levelAnnounced_) {
        levelAnnounced_ = level();
        host_.playsounds("levelup");
    }
    createblock();
}

// Rows go in top-to-bottom order, so shifting the rows above one full row
// leaves the recorded numbers of the lower full rows valid.
void Game::removeFullRows() {
    for (int slot = 0; slot < fullcount; ++slot) {
        for (int row = fullrows[slot]; row >= kFirstPlayRow + 1; --row) {
            for (int column = kFirstPlayColumn; column <= kLastPlayColumn; ++column) {
                wellcells[column][row] = wellcells[column][row - 1];
            }
        }
        for (int column = kFirstPlayColumn; column <= kLastPlayColumn; ++column) {
            wellcells[column][kFirstPlayRow] = kEmptyCell;
        }
    }
}

void Game::showCounters() {
    host_.setLabel(Label::Score, "Score: " + std::to_string(score));
    host_.setLabel(Label::Level, "Level: " + std::to_string(level()));
    host_.setLabel(Label::LinesCleared, "Lines Cleared: " + std::to_string(lines));
}

}  // namespace velmora::engine
