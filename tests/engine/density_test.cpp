// SPDX-License-Identifier: GPL-3.0-or-later
// The board drawn for denser screens: the 1x pictures exactly as they were,
// tiles drawn anew (not enlarged) at 2x, no seams at fractional densities,
// and the same scene after a change of density.
#include <gtest/gtest.h>

#include "engine/artwork.h"
#include "engine/painter.h"
#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

// FNV-1a over the pixels' bytes.
uint64_t digest(const Picture& picture, uint64_t hash = 1469598103934665603ull) {
    for (uint32_t pixel : picture.pixels) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash = (hash ^ ((pixel >> shift) & 0xFF)) * 1099511628211ull;
        }
    }
    return hash;
}

// Aligned 2 x 2 blocks whose four pixels are not all equal: none at all in a
// picture enlarged by repeating each pixel.
int mixedBlocks(const Picture& picture) {
    int mixed = 0;
    for (int y = 0; y + 1 < picture.height; y += 2) {
        for (int x = 0; x + 1 < picture.width; x += 2) {
            const uint32_t p = picture.at(x, y);
            if (picture.at(x + 1, y) != p || picture.at(x, y + 1) != p ||
                picture.at(x + 1, y + 1) != p) {
                ++mixed;
            }
        }
    }
    return mixed;
}

TEST(Density, TheOnexPicturesAreTheOnesTheGameAlwaysHad) {
    uint64_t hash = 1469598103934665603ull;
    for (const Picture& tile : artwork().tiles) {
        hash = digest(tile, hash);
    }
    hash = digest(artwork().background, hash);
    EXPECT_EQ(hash, 0x0837c2c13be21550ull);
    EXPECT_EQ(&artworkAt(24), &artwork());
}

TEST(Density, EachDensityHasWholePixelCellsAndItsOwnDrawing) {
    struct Case {
        double ratio;
        int tile;
        int boardWidth;
        int boardHeight;
    };
    const Case cases[] = {{1, 24, 287, 507}, {1.25, 30, 359, 634}, {1.5, 36, 431, 761},
                          {2, 48, 574, 1014}, {3, 72, 861, 1521}, {0.5, 24, 287, 507}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratio);
        const int size = tileSizeFor(c.ratio);
        ASSERT_EQ(size, c.tile);
        const Artwork& art = artworkAt(size);
        EXPECT_EQ(art.background.width, c.boardWidth);
        EXPECT_EQ(art.background.height, c.boardHeight);
        for (size_t t = 0; t < art.tiles.size(); ++t) {
            const Picture& tile = art.tiles[t];
            ASSERT_EQ(tile.width, size);
            EXPECT_EQ(tile.at(size / 2, size / 2), tileColours[t]);
            if (size == 48) {
                // Drawn at 2x, not enlarged: the bevel's diagonal and the
                // gloss fall between the 1x pixels.
                EXPECT_GT(mixedBlocks(tile), 40) << "tile " << t;
            }
        }
        if (size == 48) {
            EXPECT_GT(mixedBlocks(art.background), 20000);
        }
    }
}

TEST(Density, AFullRowHasNoSeamsAtAnyDensity) {
    for (double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        const Artwork& art = artworkAt(tileSizeFor(ratio));
        const int size = art.tileSize;
        WellCells well{};
        resetWell(well);
        for (int column = 1; column <= 10; ++column) {
            well[column][20] = static_cast<uint8_t>(column % 7 + 1);
        }
        Picture board(art.background.width, art.background.height);
        drawWell(board, well, art);
        // Every pixel of the row's band, from the first cell to the last,
        // belongs to the tile of its cell: nothing of the well shows between.
        for (int y = 20 * size; y < 21 * size; ++y) {
            for (int x = size; x < 11 * size; ++x) {
                const int column = x / size;
                const Picture& tile = art.tiles[column % 7];
                ASSERT_EQ(board.at(x, y), tile.at(x % size, y % size)) << x << "," << y;
            }
        }
        // The bar over the right wall starts right after a line of the well.
        EXPECT_EQ(board.at(11 * size, 5), art.background.at(11 * size, 5));
    }
}

TEST(Density, ChangingTheDensityRedrawsTheSameScene) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {4});
    rig.placePiece(5, 0, 2, 10);
    rig.game.Drawblock();
    const std::vector<uint32_t> board = rig.game.board().pixels;
    const std::vector<uint32_t> preview = rig.game.preview().pixels;

    rig.game.setPixelRatio(2);
    const Picture& dense = rig.game.board();
    ASSERT_EQ(dense.width, 574);
    EXPECT_EQ(dense.pixelRatio, 2.0);
    EXPECT_EQ(rig.game.preview().width, 144);
    EXPECT_EQ(rig.game.preview().height, 192);
    // Cell for cell, the colours the player reads the pieces by.
    for (int row = 1; row <= 20; ++row) {
        for (int column = 1; column <= 10; ++column) {
            const uint32_t centre = board[(24 * row + 12) * 287 + 24 * column + 12];
            EXPECT_EQ(dense.at(48 * column + 24, 48 * row + 24), centre) << column << "," << row;
        }
    }
    for (int k = 0; k < 12; ++k) {
        const int x = k % 3;
        const int y = k / 3;
        EXPECT_EQ(rig.game.preview().at(48 * x + 24, 48 * y + 24),
                  preview[(24 * y + 12) * 72 + 24 * x + 12]);
    }
    // Back at 1x, every pixel as before.
    rig.game.setPixelRatio(1);
    EXPECT_EQ(rig.game.board().pixels, board);
    EXPECT_EQ(rig.game.preview().pixels, preview);
    EXPECT_EQ(rig.game.board().pixelRatio, 1.0);
}

}  // namespace
}  // namespace velmora::engine::testing
