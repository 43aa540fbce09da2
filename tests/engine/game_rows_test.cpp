// SPDX-License-Identifier: GPL-3.0-or-later
// Full rows: the flash, removal, points, counters, levels and sounds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

using ::testing::ElementsAre;

// Rows 17 and 19 full once an upright bar drops into column 1; row 18 keeps a
// hole at column 5, row 20 one at column 10, and row 15 carries a marker.
void buildSplitRows(GameRig& rig) {
    rig.fillRow(17, {1}, 2);
    rig.fillRow(18, {1, 5}, 3);
    rig.fillRow(19, {1}, 4);
    rig.fillRow(20, {10}, 5);
    rig.game.wellcells[3][15] = 7;
    rig.placePiece(6, 0, 0, 16);  // bar over column 1, rows 16 to 19
}

// Fills the bottom rows but column 1 and drops an upright bar onto the floor
// there, completing count rows; the bar's other cells stay alone in their rows.
void buildBottomRows(GameRig& rig, int count) {
    for (int row = 20; row > 20 - count; --row) {
        rig.fillRow(row, {1});
    }
    rig.placePiece(6, 0, 0, 17);
}

TEST(GameRows, NonAdjacentFullRowsAreBothRemoved) {
    GameRig rig;
    rig.start();
    buildSplitRows(rig);
    const auto before = rig.game.wellcells;
    rig.timer.fireNext();
    EXPECT_EQ(rig.game.fullcount, 2);
    EXPECT_THAT(rig.game.fullrows, ElementsAre(17, 19, 0, 0));
    rig.finishFlash();
    for (int column = 1; column <= 10; ++column) {
        EXPECT_EQ(rig.game.wellcells[column][20], before[column][20]);
        // Row 18 (with the bar's cell) now lies in row 19.
        EXPECT_EQ(rig.game.wellcells[column][19], column == 1 ? 7 : before[column][18]);
        // Row 16 held only the bar's top cell; rows above 17 moved down by two.
        EXPECT_EQ(rig.game.wellcells[column][18], column == 1 ? 7 : 0);
        EXPECT_EQ(rig.game.wellcells[column][17], before[column][15]);
        EXPECT_EQ(rig.game.wellcells[column][1], 0);
        EXPECT_EQ(rig.game.wellcells[column][2], 0);
    }
    EXPECT_EQ(rig.game.wellcells[3][17], 7);
    EXPECT_EQ(rig.game.score, 100);
    EXPECT_EQ(rig.game.lines, 2);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place", "lineclear"));
    EXPECT_THAT(rig.host.tally, ElementsAre("add 2 2"));
}

TEST(GameRows, FlashBlinksThreeTimesOver620Milliseconds) {
    GameRig rig;
    rig.start();
    buildSplitRows(rig);
    rig.timer.fireNext();
    const int64_t settled = rig.timer.now();
    ASSERT_EQ(rig.game.flashcount, 6);
    EXPECT_EQ(rig.timer.interval(), 20);

    const int64_t offsets[] = {20, 120, 270, 370, 520, 620};
    const uint16_t intervals[] = {100, 150, 100, 150, 100};
    for (int step = 0; step < 5; ++step) {
        ASSERT_TRUE(rig.timer.fireNext());
        EXPECT_EQ(rig.timer.now() - settled, offsets[step]);
        EXPECT_EQ(rig.timer.interval(), intervals[step]);
        const bool hidden = step % 2 == 0;
        EXPECT_EQ(rig.game.wellcells[4][17], hidden ? 0 : 2) << "step " << step;
        EXPECT_EQ(rig.game.wellcells[4][19], hidden ? 0 : 4) << "step " << step;
        EXPECT_EQ(rig.game.wellcells[5][18], 0);  // other rows untouched
        EXPECT_EQ(rig.game.wellcells[4][18], 3);
    }
    EXPECT_EQ(rig.host.tally.size(), 0u);
    ASSERT_TRUE(rig.timer.fireNext());
    EXPECT_EQ(rig.timer.now() - settled, offsets[5]);
    EXPECT_EQ(rig.game.flashcount, 0);
    EXPECT_EQ(rig.timer.interval(), 500);
    EXPECT_EQ(rig.game.wellcells[4][19], 3);  // removed and shifted
    // Gravity for the next piece resumes a full period after the clear.
    const int64_t cleared = rig.timer.now();
    const uint8_t entry = rig.game.blocky;
    rig.timer.advance(499);
    EXPECT_EQ(rig.game.blocky, entry);
    rig.timer.advance(1);
    EXPECT_EQ(rig.timer.tickTimes().back(), cleared + 500);
}

TEST(GameRows, PointsByRowCountAtStartLevelRegardlessOfLevel) {
    struct Case {
        int rows;
        uint16_t linesBefore;
        uint16_t points;
        const char* sound;
    };
    for (const Case& c : {Case{1, 0, 40, "lineclear"}, Case{1, 45, 40, "lineclear"},
                          Case{2, 0, 100, "lineclear"}, Case{3, 0, 400, "lineclear"},
                          Case{4, 0, 1000, "tetris"}}) {
        GameRig rig;
        rig.start();
        rig.game.lines = c.linesBefore;
        buildBottomRows(rig, c.rows);
        rig.timer.fireNext();
        ASSERT_EQ(rig.game.fullcount, c.rows) << c.rows;
        rig.finishFlash();
        EXPECT_EQ(rig.game.score, c.points);
        EXPECT_EQ(rig.game.reportedScore(), c.points);
        EXPECT_EQ(rig.host.labels[Label::Score], "Score: " + std::to_string(c.points));
        ASSERT_GE(rig.host.sounds.size(), 2u);
        EXPECT_EQ(rig.host.sounds[1], c.sound);  // after "place"
        std::vector<std::string> tally;
        if (c.rows == 4) {
            tally.push_back("add 3 1");
        }
        tally.push_back("add 2 " + std::to_string(c.rows));
        EXPECT_EQ(rig.host.tally, tally);
        for (int column = 1; column <= 10; ++column) {
            EXPECT_EQ(rig.game.wellcells[column][1], 0);
        }
    }
}

TEST(GameRows, TenthRowRaisesTheLevelAndTheSpeed) {
    GameRig rig;
    rig.start();
    rig.game.lines = 9;
    buildBottomRows(rig, 1);
    rig.timer.fireNext();
    rig.finishFlash();
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 2");
    EXPECT_EQ(rig.host.labels[Label::LinesCleared], "Lines Cleared: 10");
    EXPECT_EQ(rig.game.levelAnnounced(), 2);
    EXPECT_EQ(rig.timer.interval(), 450);
    EXPECT_THAT(rig.host.sounds, ElementsAre("place", "lineclear", "levelup"));
}

TEST(GameRows, NineToThirteenRowsRaisesTheLevelOnce) {
    GameRig rig;
    rig.start();
    rig.game.lines = 9;
    buildBottomRows(rig, 4);
    rig.timer.fireNext();
    rig.finishFlash();
    EXPECT_EQ(rig.game.lines, 13);
    EXPECT_EQ(rig.game.level(), 2);
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 2");
    EXPECT_THAT(rig.host.sounds, ElementsAre("place", "tetris", "levelup"));
}

TEST(GameRows, LevelsAboveTenKeepTheFastestInterval) {
    for (uint16_t linesBefore : {89, 99, 500}) {
        GameRig rig;
        rig.start();
        rig.game.lines = linesBefore;
        buildBottomRows(rig, 1);
        rig.timer.fireNext();
        rig.finishFlash();
        EXPECT_EQ(rig.timer.interval(), 80) << linesBefore;
        EXPECT_EQ(rig.host.labels[Label::Level],
                  "Level: " + std::to_string(1 + (linesBefore + 1) / 10));
    }
    GameRig rig;
    rig.start();
    rig.game.lines = 79;
    buildBottomRows(rig, 1);
    rig.timer.fireNext();
    rig.finishFlash();
    EXPECT_EQ(rig.timer.interval(), 120);  // level 9
}

TEST(GameRows, ScoreAndLinesStopAt65535) {
    GameRig rig;
    rig.start();
    rig.game.score = 65000;
    rig.game.lines = 65533;
    buildBottomRows(rig, 4);
    rig.timer.fireNext();
    rig.finishFlash();
    EXPECT_EQ(rig.game.score, 65535);
    EXPECT_EQ(rig.game.lines, 65535);
    EXPECT_EQ(rig.game.reportedScore(), 65535);
    EXPECT_EQ(rig.host.labels[Label::Score], "Score: 65535");
    EXPECT_EQ(rig.host.labels[Label::LinesCleared], "Lines Cleared: 65535");
    EXPECT_EQ(rig.host.labels[Label::Level], "Level: 6554");
}

TEST(GameRows, PieceWithoutFullRowsSkipsTheFlash) {
    GameRig rig;
    rig.start();
    rig.fillRow(20, {1, 2});
    rig.placePiece(6, 0, 0, 17);
    const uint8_t next = rig.game.nexttype;
    rig.timer.fireNext();
    EXPECT_EQ(rig.game.flashcount, 0);
    EXPECT_EQ(rig.game.fullcount, 0);
    EXPECT_EQ(rig.game.blocktype, next);
    EXPECT_EQ(rig.game.blocky, 0);
    EXPECT_EQ(rig.timer.interval(), 500);
}

}  // namespace
}  // namespace velmora::engine::testing
