// SPDX-License-Identifier: GPL-3.0-or-later
// Reset, start, pause and the end of a game.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Columns 6 to 9 filled from row 1 down: a piece at the entry cannot fall.
void blockTheEntry(GameRig& rig) {
    for (int column = 6; column <= 9; ++column) {
        for (int row = 1; row <= 20; ++row) {
            rig.game.wellcells[column][row] = 3;
        }
    }
}

TEST(GameFlow, ResetClearsWellScoreAndLabels) {
    GameRig rig;
    EXPECT_EQ(rig.host.labels[Label::Score], "Score: 0");
    EXPECT_EQ(rig.host.labels[Label::LinesCleared], "Lines Cleared: 0");
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 0");
    EXPECT_FALSE(rig.game.gamerunning());
    EXPECT_FALSE(rig.timer.enabled());

    rig.start();
    rig.fillRow(20, {3});
    rig.game.score = 700;
    rig.game.flashcount = 3;
    rig.game.startlevel = 4;
    rig.game.clearall();
    WellCells empty{};
    resetWell(empty);
    EXPECT_EQ(rig.game.wellcells, empty);
    EXPECT_EQ(rig.game.score, 0);
    EXPECT_EQ(rig.game.flashcount, 0);
    EXPECT_EQ(rig.game.startlevel, 1);
    EXPECT_EQ(rig.game.reportedScore(), 0);
    EXPECT_EQ(rig.game.levelAnnounced(), 0);
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 0");
}

TEST(GameFlow, StartRunsItsStepsInOrder) {
    GameRig rig;
    rig.host.clearRecords();
    rig.host.name = "Zoe";
    rig.game.button_startClick();
    const std::vector<std::string> expected{
        "label Score Score: 0", "label LinesCleared Lines Cleared: 0", "label Level Level: 0",
        "hide StartButton",     "hide WaitPanel",        "hide NamePanel",
        "hide GameOverPanel",   "hide PausePanel",       "label Level Level: 1",
        "tally add 1 1",        "pause off",             "sound startgame",
        "label Greeting Good Luck Zoe", "interval 500",  "timer on"};
    EXPECT_EQ(rig.log, expected);
    EXPECT_TRUE(rig.game.gamerunning());
    EXPECT_EQ(rig.game.levelAnnounced(), 1);
    EXPECT_EQ(rig.game.blockx, 6);
    EXPECT_EQ(rig.game.blocky, 0);
    EXPECT_EQ(rig.game.blockturn, 0);
    EXPECT_EQ(rig.game.blockcells, shapeMask(rig.game.blocktype, 0));
    EXPECT_EQ(rig.game.nextcells, shapeMask(rig.game.nexttype, 0));
}

TEST(GameFlow, PieceBlockedInTheEntryRowEndsTheGameAtTheFirstTick) {
    GameRig rig;
    rig.start();
    blockTheEntry(rig);
    rig.timer.advance(499);
    EXPECT_THAT(rig.log, IsEmpty());
    rig.timer.advance(1);
    const std::vector<std::string> expected{
        "sound place",          "label FinalScore Your Score: 0", "timer off",
        "tally add 2 1",        "tally checkscore 0 Ann",         "tally add 5 0",
        "tally change 4 1",     "show SendScoreButton",           "show GameOverPanel",
        "show StartButton",     "sound gameover"};
    EXPECT_EQ(rig.log, expected);
    EXPECT_FALSE(rig.game.gamerunning());
    EXPECT_EQ(rig.game.finalScore(), 0);
    EXPECT_FALSE(rig.timer.fireNext());
    EXPECT_EQ(rig.game.blocky, 0);  // the last piece stays where it settled
}

TEST(GameFlow, RowsCompletedInTheEntryRowAreScoredBeforeTheEnd) {
    GameRig rig;
    rig.start();
    rig.fillRow(1, {1, 2});
    rig.fillRow(2, {10});
    rig.placePiece(0, 0, 1, 0);  // square over rows 0 and 1, completing row 1
    rig.timer.fireNext();
    EXPECT_TRUE(rig.game.gamerunning());
    EXPECT_EQ(rig.game.flashcount, 6);
    rig.finishFlash();
    EXPECT_FALSE(rig.game.gamerunning());
    EXPECT_THAT(rig.host.tally, ElementsAre("add 2 1", "add 2 1", "checkscore 40 Ann",
                                            "add 5 40", "change 4 1"));
    EXPECT_THAT(rig.host.sounds, ElementsAre("place", "lineclear", "gameover"));
    EXPECT_EQ(rig.host.labels[Label::FinalScore], "Your Score: 40");
    EXPECT_EQ(rig.game.finalScore(), 40);
    EXPECT_EQ(rig.game.wellcells[1][0], 1);  // the square's top half stays in the entry row
}

TEST(GameFlow, NextGameReportsOnlyItsOwnScore) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {1});
    rig.placePiece(6, 0, 0, 17);
    rig.timer.fireNext();
    rig.finishFlash();
    ASSERT_EQ(rig.game.reportedScore(), 40);
    blockTheEntry(rig);
    rig.timer.fireNext();
    ASSERT_FALSE(rig.game.gamerunning());

    rig.start();
    blockTheEntry(rig);
    rig.timer.fireNext();
    EXPECT_THAT(rig.host.tally, ElementsAre("add 2 1", "checkscore 0 Ann", "add 5 0", "change 4 1"));
    EXPECT_EQ(rig.host.labels[Label::FinalScore], "Your Score: 0");
}

TEST(GameFlow, StartDuringTheFlashAbandonsTheOldClear) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {1});
    rig.placePiece(6, 0, 0, 17);
    rig.timer.fireNext();
    rig.timer.fireNext();  // first flash step: rows hidden
    ASSERT_EQ(rig.game.flashcount, 5);
    rig.start();
    EXPECT_EQ(rig.game.flashcount, 0);
    EXPECT_EQ(rig.timer.interval(), 500);
    rig.timer.advance(3000);
    EXPECT_EQ(rig.game.score, 0);
    EXPECT_EQ(rig.game.lines, 0);
    EXPECT_THAT(rig.host.tally, IsEmpty());
    EXPECT_THAT(rig.host.sounds, IsEmpty());
    EXPECT_EQ(rig.game.blocky, 6);  // plain gravity from the start
    for (int column = 1; column <= 10; ++column) {
        EXPECT_EQ(rig.game.wellcells[column][20], 0);
    }
}

TEST(GameFlow, StartWhilePausedGivesAnUnpausedGame) {
    GameRig rig;
    rig.start();
    rig.game.pausethegame();
    ASSERT_TRUE(rig.host.pauseChecked);
    rig.start();
    EXPECT_FALSE(rig.game.gamepaused());
    EXPECT_FALSE(rig.host.pauseChecked);
    EXPECT_FALSE(rig.host.panels[Panel::PausePanel]);
    rig.timer.advance(500);
    EXPECT_EQ(rig.game.blocky, 1);
    rig.game.FormKeyDown(keys::P);
    EXPECT_TRUE(rig.game.gamepaused());
    EXPECT_TRUE(rig.host.pauseChecked);
}

TEST(GameFlow, PauseFromTheMenuWorksBeforeAnyGame) {
    GameRig rig;
    rig.game.pausethegame();
    EXPECT_TRUE(rig.game.gamepaused());
    EXPECT_TRUE(rig.host.pauseChecked);
    EXPECT_TRUE(rig.host.panels[Panel::PausePanel]);
    rig.game.FormKeyDown(keys::P);  // the key needs a running game
    EXPECT_TRUE(rig.game.gamepaused());
    rig.game.pausethegame();
    EXPECT_FALSE(rig.game.gamepaused());
    EXPECT_FALSE(rig.host.pauseChecked);
    EXPECT_FALSE(rig.host.panels[Panel::PausePanel]);
}

TEST(GameFlow, PauseFreezesTheFlashWhereItStands) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {1});
    rig.placePiece(6, 0, 0, 17);
    rig.timer.fireNext();
    rig.timer.fireNext();
    rig.game.pausethegame();
    rig.timer.advance(2000);
    EXPECT_EQ(rig.game.flashcount, 5);
    rig.game.pausethegame();
    rig.finishFlash();
    EXPECT_EQ(rig.game.score, 40);
}

TEST(GameFlow, PieceEnteringOverSettledCellsCanEscapeSideways) {
    GameRig rig;
    rig.start();
    rig.game.wellcells[7][1] = 2;
    rig.placePiece(0, 0, 6, 0);  // overlaps the settled cell at (7, 1)
    rig.game.Drawblock();
    EXPECT_EQ(rig.game.board().at(7 * 24 + 12, 24 + 12), rgb(158, 24, 159));  // drawn on top
    rig.game.FormKeyDown(keys::Left);
    EXPECT_EQ(rig.game.blockx, 5);
    rig.timer.fireNext();
    EXPECT_EQ(rig.game.blocky, 1);
    EXPECT_TRUE(rig.game.gamerunning());
}

}  // namespace
}  // namespace velmora::engine::testing
