// SPDX-License-Identifier: GPL-3.0-or-later
// The player's actions and options: drop, the landing shadow and the
// starting level.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/artwork.h"
#include "engine/painter.h"
#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

using ::testing::ElementsAre;

uint32_t pixelOf(const Picture& picture, int column, int row, int dx, int dy) {
    return picture.at(24 * column + dx, 24 * row + dy);
}

TEST(GameOptions, ActionsDoWhatTheirKeysDo) {
    GameRig rig;
    rig.start();
    rig.placePiece(1, 0, 5, 5);
    rig.game.act(Action::MoveLeft);
    rig.game.act(Action::MoveDown);
    EXPECT_EQ(rig.game.blockx, 4);
    EXPECT_EQ(rig.game.blocky, 6);
    rig.game.act(Action::TurnLeft);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 1));
    rig.game.act(Action::TurnRight);
    rig.game.act(Action::TurnRight);
    EXPECT_EQ(rig.game.blockcells, shapeMask(1, 3));
    rig.game.act(Action::NewGame);  // the window's, not the engine's
    rig.game.act(Action::Pause);
    EXPECT_TRUE(rig.game.gamepaused());
    rig.game.act(Action::MoveRight);
    rig.game.act(Action::Drop);
    EXPECT_EQ(rig.game.blockx, 4);
    EXPECT_EQ(rig.game.blocky, 6);
    rig.game.act(Action::Pause);
    EXPECT_FALSE(rig.game.gamepaused());
    rig.game.act(Action::MoveRight);
    EXPECT_EQ(rig.game.blockx, 5);
}

TEST(GameOptions, DropSettlesAtOnceLikeAGravityStepWithoutPoints) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {5, 6});
    rig.fillRow(19, {1, 5, 6});
    rig.placePiece(0, 0, 5, 1);  // the square drops into the gap of both rows
    rig.game.act(Action::Drop);
    EXPECT_EQ(rig.game.wellcells[5][20], 1);
    EXPECT_EQ(rig.game.wellcells[6][19], 1);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place"));
    EXPECT_EQ(rig.game.fullcount, 1);  // row 20; row 19 still has its hole
    EXPECT_EQ(rig.game.fullrows[0], 20);
    EXPECT_EQ(rig.timer.interval(), 20);
    EXPECT_EQ(rig.game.score, 0);
    rig.finishFlash();
    EXPECT_EQ(rig.game.score, 40);  // the row, not the drop, scores

    // No row full: the next piece enters in the same step.
    GameRig plain;
    plain.start();
    const uint8_t next = plain.game.nexttype;
    plain.placePiece(6, 0, 3, 2);
    plain.game.drop();
    EXPECT_EQ(plain.game.wellcells[4][20], 7);
    EXPECT_EQ(plain.game.wellcells[4][17], 7);
    EXPECT_EQ(plain.game.blocktype, next);
    EXPECT_EQ(plain.game.blocky, 0);
    EXPECT_TRUE(plain.game.gamerunning());
}

TEST(GameOptions, DropFromTheEntryRowOverTheStackEndsTheGame) {
    GameRig rig;
    rig.start();
    for (int row = 1; row <= 20; ++row) {
        rig.game.wellcells[6][row] = 3;
    }
    rig.placePiece(0, 0, 6, 0);
    rig.game.drop();
    EXPECT_FALSE(rig.game.gamerunning());
    EXPECT_EQ(rig.host.sounds.back(), "gameover");
}

TEST(GameOptions, LandingShadowOutlinesWhereThePieceSettlesUnderThePiece) {
    GameRig rig;
    rig.start();
    rig.fillRow(20);
    rig.placePiece(5, 0, 3, 4);  // T: ".X../XXX." lands with its box at row 18
    EXPECT_EQ(rig.game.landingRow(), 18);
    rig.game.Drawblock();
    const Picture without = rig.game.board();
    const int changes = rig.host.pictureChanges;
    rig.game.setLandingShadow(true);
    EXPECT_EQ(rig.host.pictureChanges, changes + 1);
    const Picture& board = rig.game.board();
    const uint32_t red = artwork().tiles[5].at(12, 12);
    for (auto [column, row] : {std::pair{4, 18}, {3, 19}, {4, 19}, {5, 19}}) {
        EXPECT_EQ(pixelOf(board, column, row, 0, 0), red) << column << "," << row;
        EXPECT_EQ(pixelOf(board, column, row, 23, 12), red);
        EXPECT_EQ(pixelOf(board, column, row, 12, 1), red);
        // Outlined, not filled: the middle stays the background.
        EXPECT_EQ(pixelOf(board, column, row, 12, 12), pixelOf(without, column, row, 12, 12));
    }
    EXPECT_EQ(pixelOf(board, 3, 18, 0, 0), pixelOf(without, 3, 18, 0, 0));
    // The piece itself stays on top.
    EXPECT_EQ(pixelOf(board, 4, 4, 0, 0), artwork().tiles[5].at(0, 0));

    // It follows a move.
    rig.game.act(Action::MoveRight);
    EXPECT_EQ(pixelOf(rig.game.board(), 6, 19, 0, 0), red);
    EXPECT_EQ(pixelOf(rig.game.board(), 3, 19, 0, 0), pixelOf(without, 3, 19, 0, 0));

    // Not during the flash, nor once the game is over.
    rig.fillRow(10, {9});
    rig.game.wellcells[9][11] = 1;
    rig.placePiece(6, 0, 8, 7);  // upright bar in column 9, rows 7 to 10
    rig.game.dropitdown();       // settles, row 10 full: the flash starts
    ASSERT_NE(rig.game.flashcount, 0);
    rig.game.Drawblock();
    EXPECT_EQ(rig.game.board().pixels, [&] {
        Picture plain = rig.game.board();
        drawWell(plain, rig.game.wellcells);
        return plain.pixels;
    }());
}

TEST(GameOptions, ShadowIsNotDrawnWhenNoGameRuns) {
    GameRig rig;
    const int changes = rig.host.pictureChanges;
    rig.game.setLandingShadow(true);
    EXPECT_EQ(rig.host.pictureChanges, changes);
    rig.start();
    for (int row = 1; row <= 20; ++row) {
        rig.game.wellcells[7][row] = 3;
    }
    rig.placePiece(0, 0, 6, 0);
    rig.game.dropitdown();  // ends the game
    ASSERT_FALSE(rig.game.gamerunning());
    rig.placePiece(6, 0, 2, 5);
    rig.game.Drawblock();
    Picture expected = rig.game.board();
    drawWell(expected, rig.game.wellcells);
    drawMask(expected, rig.game.blockcells, artwork().tiles[6], 24 * 2, 24 * 5);
    EXPECT_EQ(rig.game.board().pixels, expected.pixels);
}

struct StartCase {
    int chosen;
    int level;
    uint16_t interval;
};

class StartingLevel : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartingLevel, SetsLabelGravityAndPoints) {
    const StartCase c = GetParam();
    GameRig rig;
    rig.game.setStartingLevel(c.chosen);
    EXPECT_EQ(rig.game.startingLevel(), c.level);
    rig.game.button_startClick();
    EXPECT_EQ(rig.game.startlevel, c.level);
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: " + std::to_string(c.level));
    EXPECT_EQ(rig.game.levelAnnounced(), c.level);
    EXPECT_EQ(rig.timer.interval(), c.interval);
    rig.host.clearRecords();

    rig.fillRow(20, {1, 2});
    rig.fillRow(19, {1, 2});
    rig.placePiece(0, 0, 1, 19);
    rig.game.dropitdown();
    rig.finishFlash();
    EXPECT_EQ(rig.game.score, 100 * c.level);
    EXPECT_EQ(rig.timer.interval(), c.interval);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place", "lineclear"));  // no level-up

    // clearall, before the next start, reads level 1 as always.
    rig.game.clearall();
    EXPECT_EQ(rig.game.startlevel, 1);
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 0");
}

INSTANTIATE_TEST_SUITE_P(GameOptions, StartingLevel,
                         ::testing::Values(StartCase{1, 1, 500}, StartCase{5, 5, 300},
                                           StartCase{10, 10, 80}, StartCase{0, 1, 500},
                                           StartCase{11, 1, 500}, StartCase{-3, 1, 500}));

TEST(GameOptions, LevelRisesFromTheStartingLevelEveryTenRows) {
    GameRig rig;
    rig.game.setStartingLevel(3);
    rig.start();
    rig.game.lines = 8;
    rig.fillRow(20, {1, 2});
    rig.fillRow(19, {1, 2});
    rig.placePiece(0, 0, 1, 19);
    rig.game.dropitdown();
    rig.finishFlash();
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 4");
    EXPECT_EQ(rig.timer.interval(), 350);
    EXPECT_EQ(rig.game.score, 300);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place", "lineclear", "levelup"));
}

}  // namespace
}  // namespace velmora::engine::testing
