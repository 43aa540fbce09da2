// SPDX-License-Identifier: GPL-3.0-or-later
// What Drawblock and the preview put on screen.
#include <gtest/gtest.h>

#include "engine/artwork.h"
#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

uint32_t cellCentre(const Picture& picture, int column, int row) {
    return picture.at(24 * column + 12, 24 * row + 12);
}

TEST(Drawing, SettledCellsAndTheFallingPieceUseTheirTiles) {
    GameRig rig;
    rig.start();
    rig.game.wellcells[3][20] = 4;   // type 3, yellow
    rig.game.wellcells[10][1] = 7;   // type 6, blue
    rig.game.wellcells[5][0] = 2;    // the entry row is never drawn as tiles
    rig.placePiece(5, 0, 2, 10);     // T: ".X../XXX."
    rig.game.Drawblock();
    const Picture& board = rig.game.board();
    ASSERT_EQ(board.width, 287);
    ASSERT_EQ(board.height, 507);
    EXPECT_EQ(cellCentre(board, 3, 20), rgb(224, 225, 79));
    EXPECT_EQ(cellCentre(board, 10, 1), rgb(41, 66, 195));
    EXPECT_EQ(cellCentre(board, 5, 0), artwork().background.at(5 * 24 + 12, 12));
    EXPECT_EQ(cellCentre(board, 3, 10), rgb(208, 25, 25));
    EXPECT_EQ(cellCentre(board, 2, 11), rgb(208, 25, 25));
    EXPECT_EQ(cellCentre(board, 4, 11), rgb(208, 25, 25));
    EXPECT_EQ(cellCentre(board, 2, 10), artwork().background.at(2 * 24 + 12, 10 * 24 + 12));
    // Whole tile copied, bevel included, at 24 x column, 24 x row.
    EXPECT_EQ(board.at(72, 480), artwork().tiles[3].at(0, 0));
    EXPECT_EQ(board.at(72 + 23, 480 + 23), artwork().tiles[3].at(23, 23));
    EXPECT_EQ(board.at(0, 300), artwork().background.at(0, 300));
    EXPECT_EQ(board.at(286, 506), artwork().background.at(286, 506));
}

TEST(Drawing, FallingPieceIsVisibleInTheEntryRow) {
    GameRig rig;
    rig.start();
    rig.placePiece(6, 1, 5, 0);  // flat bar in row 0
    rig.game.Drawblock();
    for (int column = 5; column <= 8; ++column) {
        EXPECT_EQ(cellCentre(rig.game.board(), column, 0), rgb(41, 66, 195));
    }
}

TEST(Drawing, FlashShowsTheWellWithoutTheFallingPiece) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {1}, 5);
    rig.placePiece(6, 0, 0, 17);
    rig.timer.fireNext();
    rig.timer.fireNext();  // rows hidden
    const Picture& board = rig.game.board();
    const Picture& back = artwork().background;
    EXPECT_EQ(cellCentre(board, 1, 20), cellCentre(back, 1, 20));
    EXPECT_EQ(cellCentre(board, 6, 20), cellCentre(back, 6, 20));
    EXPECT_EQ(cellCentre(board, 1, 19), rgb(41, 66, 195));  // settled part of the bar
    rig.timer.fireNext();  // rows shown
    EXPECT_EQ(cellCentre(board, 6, 20), rgb(86, 200, 86));
    EXPECT_EQ(cellCentre(board, 1, 20), rgb(41, 66, 195));
}

TEST(Drawing, PreviewShowsTheNextPieceOnBlack) {
    for (uint32_t seed : {3u, 11u, 40u, 77u}) {
        GameRig rig(seed);
        rig.start();
        const Picture& preview = rig.game.preview();
        ASSERT_EQ(preview.width, 72);
        ASSERT_EQ(preview.height, 96);
        const Mask next = shapeMask(rig.game.nexttype, 0);
        for (int k = 0; k < 16; ++k) {
            if (k % 4 == 3) {
                continue;  // outside the three-cell-wide preview
            }
            const uint32_t expected = next[k] ? tileColours[rig.game.nexttype] : rgb(0, 0, 0);
            EXPECT_EQ(cellCentre(preview, k % 4, k / 4), expected) << "seed " << seed << " k " << k;
        }
    }
}

TEST(Drawing, ResetShowsTheBareBackgroundAndABlackPreview) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {2});
    rig.game.Drawblock();
    const int changes = rig.host.pictureChanges;
    rig.game.clearall();
    EXPECT_EQ(rig.game.board().pixels, artwork().background.pixels);
    for (uint32_t pixel : rig.game.preview().pixels) {
        ASSERT_EQ(pixel, rgb(0, 0, 0));
    }
    EXPECT_GT(rig.host.pictureChanges, changes);
}

}  // namespace
}  // namespace velmora::engine::testing
