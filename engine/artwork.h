// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures the board is built from: the seven 24 x 24 cell tiles and the
// well's background. Both are computed once and shared by every game.

#include <array>

#include "engine/picture.h"

namespace velmora::engine {

constexpr int kTileSize = 24;
constexpr int kBoardWidth = 287;
constexpr int kBoardHeight = 507;
constexpr int kPreviewWidth = 72;
constexpr int kPreviewHeight = 96;

// Pixel columns of the frame bars over the side walls.
constexpr int kLeftBarFirstPixel = 0;
constexpr int kLeftBarLastPixel = 23;
constexpr int kRightBarFirstPixel = 265;
constexpr int kRightBarLastPixel = 286;

// Colour of each tile's centre: the colour the player names the piece by.
// Types 0 and 2 share the purple tile.
inline constexpr std::array<uint32_t, 7> tileColours{
    rgb(158, 24, 159), rgb(219, 113, 183), rgb(158, 24, 159), rgb(224, 225, 79),
    rgb(86, 200, 86),  rgb(208, 25, 25),   rgb(41, 66, 195),
};

struct Artwork {
    int tileSize = kTileSize;      // pixels of one cell: 24, more on denser screens
    std::array<Picture, 7> tiles;  // tile t for piece type t, 24 x 24 each at 1x
    Picture background;            // 287 x 507 at 1x: dark patterned well, grey side bars
};

// A glossy tile: lighter bevel along the top and left, darker along the bottom
// and right, a soft highlight in the upper half and the exact colour in the
// middle rows, so the centre pixels equal colour.
Picture makeTile(uint32_t colour);

// The well's background: a dark grey cell pattern with a lighter grey frame bar
// over each side wall (pixel columns 0-23 and 265-286).
Picture makeBackground();

// The shared artwork, built on first use.
const Artwork& artwork();

// --- The same pictures drawn for denser screens --------------------------
// Every picture is drawn anew at the density from the same shapes, not
// enlarged, so tiles stay sharp at 150 % or 200 %. Cells are a whole number
// of pixels, so tiles meet without seams at any density; at tileSize 24 the
// pictures are exactly the ones above.

// The cell size for a screen with `ratio` device pixels to a logical pixel
// (24 at ratio 1, 48 at 2; ratios are held to 1 to 8).
int tileSizeFor(double ratio);
int boardWidthAt(int tileSize);   // 287 at 24
int boardHeightAt(int tileSize);  // 507 at 24
Picture makeTile(uint32_t colour, int tileSize);
Picture makeBackground(int tileSize);
// The shared artwork for a cell size, built on first use and kept.
const Artwork& artworkAt(int tileSize);

}  // namespace velmora::engine
