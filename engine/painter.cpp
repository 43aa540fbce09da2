#include "engine/painter.h"

#include <algorithm>

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
            drawTile(picture, tile, left + kTileSize * (k % 4), top + kTileSize * (k / 4));
        }
    }
}

void drawWell(Picture& board, const WellCells& well) {
    const Artwork& art = artwork();
    std::copy(art.background.pixels.begin(), art.background.pixels.end(), board.pixels.begin());
    for (int column = kFirstPlayColumn; column <= kLastPlayColumn; ++column) {
        for (int row = kFirstPlayRow; row <= kLastPlayRow; ++row) {
            const uint8_t value = well[column][row];
            if (value >= 1 && value <= kPieceTypes) {
                drawTile(board, art.tiles[value - 1], kTileSize * column, kTileSize * row);
            }
        }
    }
}

void drawPreview(Picture& preview, const Mask& mask, uint8_t type) {
    std::fill(preview.pixels.begin(), preview.pixels.end(), rgb(0, 0, 0));
    if (type < kPieceTypes) {
        drawMask(preview, mask, artwork().tiles[type], 0, 0);
    }
}

}  // namespace velmora::engine
