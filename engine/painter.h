// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Draws the well and the next-piece preview from the shared artwork.

#include <cstdint>

#include "engine/artwork.h"
#include "engine/blockshapes.h"
#include "engine/picture.h"
#include "engine/well.h"

namespace velmora::engine {

// Copies tile with its top-left corner at pixel (left, top) of picture; the
// parts that fall outside the picture are cut off.
void drawTile(Picture& picture, const Picture& tile, int left, int top);

// Draws a mask's set cells with one tile, box cell k at pixel
// (left + 24 * (k % 4), top + 24 * (k / 4)) for a 24-pixel tile.
void drawMask(Picture& picture, const Mask& mask, const Picture& tile, int left, int top);

// Outlines each set cell of mask with a frame kOutlineWidth pixels wide in
// colour, box cell k at pixel (left + 24 * (k % 4), top + 24 * (k / 4)); the
// inside of each cell is left as it was. Cut off at the picture's edges.
inline constexpr int kOutlineWidth = 2;
void drawOutline(Picture& picture, const Mask& mask, uint32_t colour, int left, int top,
                 int tileSize = kTileSize);

// Overwrites board (which must be 287 x 507) with the background, then draws
// every settled cell (values 1 to 7) of columns 1 to 10, rows 1 to 20, with
// tile value - 1 at pixel (24 * column, 24 * row).
void drawWell(Picture& board, const WellCells& well);
// The same from artwork drawn for a denser screen, on a board of
// boardWidthAt x boardHeightAt its tile size, cells art.tileSize apart.
void drawWell(Picture& board, const WellCells& well, const Artwork& art);

// The preview, 3 x 4 tiles of `art`: black, with mask drawn in tile type
// from the top-left corner.
void drawPreview(Picture& preview, const Mask& mask, uint8_t type, const Artwork& art);

}  // namespace velmora::engine
