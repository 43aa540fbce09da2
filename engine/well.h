// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The well: 12 columns by 22 rows of one-byte cells, column first. Columns 0
// and 11 are the walls, row 21 the floor, row 0 the entry row where each new
// piece's box starts; rows 1 to 20 are the well proper.

#include <array>
#include <cstdint>

#include "engine/blockshapes.h"

namespace velmora::engine {

constexpr int kWellColumns = 12;
constexpr int kWellRows = 22;
constexpr int kFirstPlayColumn = 1;
constexpr int kLastPlayColumn = 10;
constexpr int kPlayColumns = 10;
constexpr int kFirstPlayRow = 1;
constexpr int kLastPlayRow = 20;

constexpr uint8_t kEmptyCell = 0;
constexpr uint8_t kWallCell = 9;  // walls and floor; settled cells hold type + 1

using WellCells = std::array<std::array<uint8_t, kWellRows>, kWellColumns>;

// Empties columns 1 to 10 of rows 0 to 20 and sets walls and floor to 9.
void resetWell(WellCells& well);

// True when every set cell k of mask lands on an empty well cell
// (x + k % 4, y + k / 4). A cell that would lie outside the grid counts as
// occupied, so a box pushed past the walls never fits.
bool fits(const WellCells& well, const Mask& mask, int x, int y);

// True when columns 1 to 10 of the row are all non-zero.
bool rowIsFull(const WellCells& well, int row);

// Writes value into every well cell covered by a set cell of mask at (x, y);
// cells outside the grid are skipped.
void stamp(WellCells& well, const Mask& mask, int x, int y, uint8_t value);

}  // namespace velmora::engine
