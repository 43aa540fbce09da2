// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/painter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velmora::engine {

void drawTile(Picture& picture, const Picture& tile, int left, int top) {
    const int firstX = std::max(left, 0);
    const int lastX = std::min(left + tile.width, picture.width);
    const int firstY = std::max(top, 0);
    const int lastY = std::min(top + tile.height, picture.height);
    if (firstX >= lastX) {
        return;
    }
    for (int y = firstY; y < lastY; ++y) {
        const uint32_t* source =
            tile.pixels.data() + static_cast<size_t>(y - top) * tile.width + (firstX - left);
        std::copy(source, source + (lastX - firstX), &picture.at(firstX, y));
    }
}

void drawMask(Picture& picture, const Mask& mask, const Picture& tile, int left, int top) {
    for (int k = 0; k < 16; ++k) {
        if (mask[k]) {
            drawTile(picture, tile, left + tile.width * (k % 4), top + tile.height * (k / 4));
        }
    }
}

namespace {

void fillRect(Picture& picture, uint32_t colour, int left, int top, int width, int height) {
    const int firstX = std::max(left, 0);
    const int lastX = std::min(left + width, picture.width);
    for (int y = std::max(top, 0); y < std::min(top + height, picture.height); ++y) {
        for (int x = firstX; x < lastX; ++x) {
            picture.at(x, y) = colour;
        }
    }
}

}  // namespace

void drawOutline(Picture& picture, const Mask& mask, uint32_t colour, int left, int top,
                 int tileSize) {
    // The frame keeps its width in logical pixels on denser screens.
    const int width = std::max(1, kOutlineWidth * tileSize / kTileSize);
    const int inner = tileSize - width;
    for (int k = 0; k < 16; ++k) {
        if (!mask[k]) {
            continue;
        }
        const int x = left + tileSize * (k % 4);
        const int y = top + tileSize * (k / 4);
        fillRect(picture, colour, x, y, tileSize, width);
        fillRect(picture, colour, x, y + inner, tileSize, width);
        fillRect(picture, colour, x, y, width, tileSize);
        fillRect(picture, colour, x + inner, y, width, tileSize);
    }
}

namespace {

// Copies count pixels of source row y, from pixel x, into the same place of
// board row y.
void copySpan(Picture& board, const Picture& source, int sourceX, int sourceY, int x, int y,
              int count) {
    const uint32_t* from =
        source.pixels.data() + static_cast<size_t>(sourceY) * source.width + sourceX;
    std::copy(from, from + count, board.pixels.data() + static_cast<size_t>(y) * board.width + x);
}

}  // namespace

namespace {

// One stretch of a board row band: count pixels from x on, taken from tile or,
// when tile is null, from the background at the same place.
struct Span {
    const Picture* tile;
    int x;
    int count;
};

// The spans of one well row: runs of empty cells share one background span.
int bandSpans(const WellCells& well, int row, const Artwork& art, std::array<Span, 12>& spans) {
    int used = 0;
    auto background = [&](int x, int count) {
        if (used > 0 && spans[used - 1].tile == nullptr) {
            spans[used - 1].count += count;
        } else {
            spans[used++] = {nullptr, x, count};
        }
    };
    const int size = art.tileSize;
    background(0, size * kFirstPlayColumn);
    for (int column = kFirstPlayColumn; column <= kLastPlayColumn; ++column) {
        const uint8_t value = well[column][row];
        if (value >= 1 && value <= kPieceTypes) {
            spans[used++] = {&art.tiles[value - 1], size * column, size};
        } else {
            background(size * column, size);
        }
    }
    const int rightX = size * (kLastPlayColumn + 1);
    background(rightX, art.background.width - rightX);
    return used;
}

// One row of a tile; at 1x the fixed size lets the compiler inline the copy.
void copyTileRow(Picture& board, const Picture& tile, int tileY, int x, int y) {
    const uint32_t* from = tile.pixels.data() + static_cast<size_t>(tileY) * tile.width;
    uint32_t* to = board.pixels.data() + static_cast<size_t>(y) * board.width + x;
    if (tile.width == kTileSize) {
        std::memcpy(to, from, kTileSize * sizeof(uint32_t));
    } else {
        std::memcpy(to, from, static_cast<size_t>(tile.width) * sizeof(uint32_t));
    }
}

}  // namespace

// Builds each pixel row once from background and tile rows rather than copying
// the background and painting tiles over it: the board is redrawn on every
// move, and writing each pixel once saves much of the memory traffic.
void drawWell(Picture& board, const WellCells& well) {
    drawWell(board, well, artwork());
}

void drawWell(Picture& board, const WellCells& well, const Artwork& art) {
    const Picture& back = art.background;
    const int size = art.tileSize;
    std::array<Span, 12> spans{};
    int bandRow = -1;
    int spanCount = 0;
    for (int y = 0; y < board.height; ++y) {
        const int row = y / size;
        if (row < kFirstPlayRow || row > kLastPlayRow) {
            copySpan(board, back, 0, y, 0, y, board.width);
            continue;
        }
        if (row != bandRow) {
            bandRow = row;
            spanCount = bandSpans(well, row, art, spans);
        }
        for (int i = 0; i < spanCount; ++i) {
            const Span& span = spans[i];
            if (span.tile != nullptr) {
                copyTileRow(board, *span.tile, y % size, span.x, y);
            } else {
                copySpan(board, back, span.x, y, span.x, y, span.count);
            }
        }
    }
}


void drawPreview(Picture& preview, const Mask& mask, uint8_t type, const Artwork& art) {
    std::fill(preview.pixels.begin(), preview.pixels.end(), rgb(0, 0, 0));
    if (type < kPieceTypes) {
        drawMask(preview, mask, art.tiles[type], 0, 0);
    }
}

}  // namespace velmora::engine
