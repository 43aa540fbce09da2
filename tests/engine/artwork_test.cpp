// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/artwork.h"

#include <gtest/gtest.h>

namespace velmora::engine {
namespace {

int brightness(uint32_t pixel) {
    return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
}

TEST(Artwork, TilesCarryTheirColourInTheCentre) {
    const std::array<uint32_t, 7> expected{rgb(158, 24, 159), rgb(219, 113, 183), rgb(158, 24, 159),
                                           rgb(224, 225, 79), rgb(86, 200, 86),   rgb(208, 25, 25),
                                           rgb(41, 66, 195)};
    const Artwork& art = artwork();
    for (size_t t = 0; t < 7; ++t) {
        const Picture& tile = art.tiles[t];
        ASSERT_EQ(tile.width, 24);
        ASSERT_EQ(tile.height, 24);
        for (int y : {11, 12}) {
            for (int x : {11, 12}) {
                EXPECT_EQ(tile.at(x, y), expected[t]) << "tile " << t;
            }
        }
    }
    EXPECT_EQ(art.tiles[0].pixels, art.tiles[2].pixels);
}

TEST(Artwork, TilesAreLitFromTheTopLeft) {
    for (const Picture& tile : artwork().tiles) {
        const int centre = brightness(tile.at(12, 12));
        EXPECT_GT(brightness(tile.at(0, 12)), centre);   // left bevel
        EXPECT_GT(brightness(tile.at(12, 1)), centre);   // top bevel
        EXPECT_LT(brightness(tile.at(23, 12)), centre);  // right edge
        EXPECT_LT(brightness(tile.at(12, 22)), centre);  // bottom edge
        EXPECT_GT(brightness(tile.at(8, 5)), centre);    // gloss
        for (uint32_t pixel : tile.pixels) {
            EXPECT_EQ(pixel >> 24, 0xFFu);
        }
    }
}

TEST(Artwork, BackgroundIsDarkWithLighterBarsOverTheWalls) {
    const Picture& back = artwork().background;
    ASSERT_EQ(back.width, 287);
    ASSERT_EQ(back.height, 507);
    int darkestBar = 255 * 3;
    int brightestWell = 0;
    for (int y = 0; y < back.height; ++y) {
        for (int x = 0; x < back.width; ++x) {
            const int b = brightness(back.at(x, y));
            if (x <= 23 || x >= 265) {
                darkestBar = std::min(darkestBar, b);
            } else {
                brightestWell = std::max(brightestWell, b);
            }
        }
    }
    EXPECT_LT(brightestWell, 3 * 64);
    EXPECT_GT(darkestBar, brightestWell);
}

}  // namespace
}  // namespace velmora::engine
