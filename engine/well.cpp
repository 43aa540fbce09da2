// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/well.h"

namespace velmora::engine {

namespace {

bool insideGrid(int column, int row) {
    return column >= 0 && column < kWellColumns && row >= 0 && row < kWellRows;
}

}  // namespace

void resetWell(WellCells& well) {
    for (int column = 0; column < kWellColumns; ++column) {
        for (int row = 0; row < kWellRows; ++row) {
            const bool wall = column == 0 || column == kWellColumns - 1 || row == kWellRows - 1;
            well[column][row] = wall ? kWallCell : kEmptyCell;
        }
    }
}

bool fits(const WellCells& well, const Mask& mask, int x, int y) {
    for (int k = 0; k < 16; ++k) {
        if (!mask[k]) {
            continue;
        }
        const int column = x + k % 4;
        const int row = y + k / 4;
        if (!insideGrid(column, row) || well[column][row] != kEmptyCell) {
            return false;
        }
    }
    return true;
}

bool rowIsFull(const WellCells& well, int row) {
    for (int column = kFirstPlayColumn; column <= kLastPlayColumn; ++column) {
        if (well[column][row] == kEmptyCell) {
            return false;
        }
    }
    return true;
}

void stamp(WellCells& well, const Mask& mask, int x, int y, uint8_t value) {
    for (int k = 0; k < 16; ++k) {
        const int column = x + k % 4;
        const int row = y + k / 4;
        if (mask[k] && insideGrid(column, row)) {
            well[column][row] = value;
        }
    }
}

}  // namespace velmora::engine
