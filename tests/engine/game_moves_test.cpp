// SPDX-License-Identifier: GPL-3.0-or-later
// Keys, movement, rotation and gravity.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(GameMoves, ArrowKeysMoveThePieceOneCell) {
    GameRig rig;
    rig.start();
    rig.placePiece(0, 0, 5, 5);
    rig.game.FormKeyDown(keys::Left);
    EXPECT_EQ(rig.game.blockx, 4);
    rig.game.FormKeyDown(keys::Right);
    rig.game.FormKeyDown(keys::Right);
    EXPECT_EQ(rig.game.blockx, 6);
    rig.game.FormKeyDown(keys::Down);
    EXPECT_EQ(rig.game.blocky, 6);
    EXPECT_EQ(rig.host.pictureChanges, 4);
    rig.game.FormKeyDown(81);  // Q: no game key
    rig.game.FormKeyDown(97);  // lower-case a is not a virtual-key code
    EXPECT_EQ(rig.game.blockx, 6);
    EXPECT_EQ(rig.game.blocky, 6);
    EXPECT_THAT(rig.host.sounds, IsEmpty());

    rig.placePiece(6, 0, 0, 10);  // upright bar against the left wall
    const int changes = rig.host.pictureChanges;
    EXPECT_FALSE(rig.game.move(-1, 0));
    EXPECT_EQ(rig.game.blockx, 0);
    EXPECT_EQ(rig.host.pictureChanges, changes);  // a refused move is not redrawn
}

TEST(GameMoves, UpAndATurnForwardsAndSTurnsBackwards) {
    GameRig rig;
    rig.start();
    rig.placePiece(1, 0, 4, 5);
    rig.game.FormKeyDown(keys::Up);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 1));
    rig.game.FormKeyDown(keys::A);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 2));
    rig.game.FormKeyDown(keys::A);
    rig.game.FormKeyDown(keys::Up);
    EXPECT_EQ(rig.game.blockturn, 4);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 0));
    for (int i = 0; i < 4; ++i) {
        rig.game.FormKeyDown(keys::S);
    }
    EXPECT_EQ(rig.game.blockturn, 0);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 0));
    EXPECT_EQ(rig.host.sounds, std::vector<std::string>(8, "rotate"));
}

TEST(GameMoves, TurningBackFromZeroWrapsToRotationThree) {
    GameRig rig;
    rig.start();
    rig.placePiece(1, 0, 4, 5);
    rig.game.FormKeyDown(keys::S);
    EXPECT_EQ(rig.game.blockturn, 255);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 3));
    rig.game.FormKeyDown(keys::Up);
    EXPECT_EQ(rig.game.blockturn, 0);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 0));
}

TEST(GameMoves, TurnThatDoesNotFitIsRefusedButStillSoundsAndRedraws) {
    for (uint8_t x : {0, 9}) {  // upright bar beside the left and the right wall
        GameRig rig;
        rig.start();
        rig.placePiece(6, 0, x, 10);
        EXPECT_FALSE(rig.game.Rotate(1));
        EXPECT_EQ(rig.game.blockturn, 0);
        EXPECT_EQ(rig.game.blockcells, shapeMask(6, 0));
        EXPECT_EQ(rig.game.blockx, x);
        EXPECT_THAT(rig.host.sounds, ElementsAre("rotate"));
        EXPECT_EQ(rig.host.pictureChanges, 1);
    }
    GameRig rig;
    rig.start();
    rig.placePiece(0, 0, 9, 19);  // the square in the corner always turns
    EXPECT_TRUE(rig.game.Rotate(2));
    EXPECT_EQ(rig.game.blockturn, 255);
    EXPECT_THAT(rig.host.sounds, ElementsAre("rotate"));
}

TEST(GameMoves, DownKeyNeverSettlesAPiece) {
    GameRig rig;
    rig.start();
    rig.placePiece(0, 0, 4, 19);  // resting on the floor
    for (int i = 0; i < 5; ++i) {
        rig.game.FormKeyDown(keys::Down);
    }
    EXPECT_EQ(rig.game.blocky, 19);
    EXPECT_EQ(rig.game.wellcells[5][20], 0);
    EXPECT_THAT(rig.host.sounds, IsEmpty());
    rig.timer.fireNext();
    EXPECT_EQ(rig.game.wellcells[5][20], 1);
    EXPECT_EQ(rig.game.wellcells[4][19], 1);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place"));
}

TEST(GameMoves, PieceSlidesOffALedgeAndFallsOnAtTheNextTick) {
    for (int steps : {2, 3}) {
        GameRig rig;
        rig.start();
        for (int column = 5; column <= 10; ++column) {
            rig.game.wellcells[column][20] = 2;  // ledge
        }
        for (int column = 1; column <= 4; ++column) {
            rig.game.wellcells[column][17] = 2;  // overhang above the gap
        }
        rig.placePiece(0, 0, 6, 18);  // resting on the ledge
        for (int i = 0; i < steps; ++i) {
            rig.game.FormKeyDown(keys::Left);
        }
        EXPECT_EQ(rig.game.blockx, 6 - steps);
        rig.timer.fireNext();
        if (steps == 2) {  // still half on the ledge: settles
            EXPECT_THAT(rig.host.sounds, ElementsAre("place"));
            EXPECT_EQ(rig.game.wellcells[4][18], 1);
        } else {  // under the overhang, over the gap: falls on
            EXPECT_EQ(rig.game.blocky, 19);
            EXPECT_THAT(rig.host.sounds, IsEmpty());
        }
    }
}

TEST(GameMoves, GravityMovesOneRowPerTickAtTheLevelInterval) {
    GameRig rig;
    rig.start();
    rig.placePiece(5, 2, 3, 0);  // T with an empty top box row
    rig.timer.advance(500 * 17);
    EXPECT_EQ(rig.game.blocky, 17);
    EXPECT_EQ(rig.game.wellcells[4][20], 0);
    rig.timer.advance(500);
    EXPECT_EQ(rig.game.blocky, 18);  // its cells reach rows 19 and 20
    rig.timer.advance(500);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place"));
    EXPECT_EQ(rig.game.wellcells[3][19], 6);
    EXPECT_EQ(rig.game.wellcells[4][19], 6);
    EXPECT_EQ(rig.game.wellcells[5][19], 6);
    EXPECT_EQ(rig.game.wellcells[4][20], 6);
    EXPECT_EQ(rig.game.wellcells[3][18], 0);
    EXPECT_EQ(rig.game.blocky, 0);  // the next piece entered in the same tick
}

TEST(GameMoves, PausedGameIgnoresTicksAndAllKeysButP) {
    GameRig rig;
    rig.start();
    rig.placePiece(1, 0, 4, 5);
    rig.game.FormKeyDown(keys::P);
    EXPECT_TRUE(rig.game.gamepaused());
    rig.timer.advance(5000);
    for (uint16_t key : {keys::Left, keys::Right, keys::Down, keys::Up, keys::A, keys::S}) {
        rig.game.FormKeyDown(key);
    }
    EXPECT_FALSE(rig.game.move(1, 0));
    EXPECT_FALSE(rig.game.Rotate(1));
    EXPECT_EQ(rig.game.blockx, 4);
    EXPECT_EQ(rig.game.blocky, 5);
    EXPECT_EQ(rig.game.blockturn, 0);
    EXPECT_THAT(rig.host.sounds, IsEmpty());
    rig.game.FormKeyDown(keys::P);
    EXPECT_FALSE(rig.game.gamepaused());
    rig.timer.advance(500);
    EXPECT_EQ(rig.game.blocky, 6);
}

TEST(GameMoves, KeysDoNothingBeforeAGameOrDuringTheFlash) {
    GameRig rig;
    rig.host.clearRecords();
    rig.game.FormKeyDown(keys::P);
    EXPECT_FALSE(rig.game.gamepaused());
    EXPECT_THAT(rig.log, IsEmpty());

    rig.start();
    rig.fillRow(20, {1});
    rig.placePiece(6, 0, 0, 17);  // completes row 20
    rig.timer.fireNext();
    ASSERT_NE(rig.game.flashcount, 0);
    rig.host.clearRecords();
    for (uint16_t key : {keys::Left, keys::Up, keys::P, keys::S}) {
        rig.game.FormKeyDown(key);
    }
    EXPECT_FALSE(rig.game.gamepaused());
    EXPECT_THAT(rig.log, IsEmpty());
}

}  // namespace
}  // namespace velmora::engine::testing
