// SPDX-License-Identifier: GPL-3.0-or-later
// Whole games played through keys and ticks only.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <limits>

#include "engine/scoring.h"
#include "game_rig.h"

namespace velmora::engine::testing {
namespace {

struct Placement {
    int turns = 0;
    int column = 6;
};

// Where the piece would come to rest if dropped straight down from (x, y).
int restingRow(const WellCells& well, const Mask& mask, int x, int y) {
    while (fits(well, mask, x, y + 1)) {
        ++y;
    }
    return y;
}

// Rates a well the way a simple player would: full rows are good; height,
// holes under the surface and a ragged surface are bad.
int rateWell(const WellCells& well) {
    int full = 0;
    std::array<int, 10> heights{};
    int holes = 0;
    for (int row = 1; row <= 20; ++row) {
        full += rowIsFull(well, row);
    }
    for (int column = 1; column <= 10; ++column) {
        bool covered = false;
        for (int row = 1; row <= 20; ++row) {
            if (rowIsFull(well, row)) {
                continue;  // goes away with the clear
            }
            if (well[column][row] != 0) {
                heights[column - 1] += covered ? 0 : 21 - row;
                covered = true;
            } else if (covered) {
                ++holes;
            }
        }
    }
    int bumpiness = 0;
    for (int i = 0; i + 1 < 10; ++i) {
        bumpiness += std::abs(heights[i] - heights[i + 1]);
    }
    const int total = std::accumulate(heights.begin(), heights.end(), 0);
    return 76 * full - 51 * total - 36 * holes - 18 * bumpiness;
}

// A greedy player: tries every rotation and column reachable from the entry
// and keeps the one whose resting place rates best.
Placement choosePlacement(const Game& game) {
    Placement best;
    int bestScore = std::numeric_limits<int>::min();
    for (int turns = 0; turns < 4; ++turns) {
        const Mask mask = shapeMask(game.blocktype, static_cast<uint8_t>(turns));
        if (!fits(game.wellcells, mask, game.blockx, game.blocky)) {
            continue;
        }
        for (int x = -1; x <= 10; ++x) {
            if (!fits(game.wellcells, mask, x, game.blocky)) {
                continue;
            }
            WellCells after = game.wellcells;
            stamp(after, mask, x, restingRow(after, mask, x, game.blocky), 1);
            const int score = rateWell(after);
            if (score > bestScore) {
                bestScore = score;
                best = {turns, x};
            }
        }
    }
    return best;
}

void playPlacement(GameRig& rig, const Placement& placement) {
    for (int i = 0; i < placement.turns; ++i) {
        rig.game.FormKeyDown(keys::Up);
    }
    while (rig.game.blockx > placement.column) {
        const uint8_t before = rig.game.blockx;
        rig.game.FormKeyDown(keys::Left);
        if (rig.game.blockx == before) {
            break;
        }
    }
    while (rig.game.blockx < placement.column) {
        const uint8_t before = rig.game.blockx;
        rig.game.FormKeyDown(keys::Right);
        if (rig.game.blockx == before) {
            break;
        }
    }
    for (int i = 0; i < 25; ++i) {
        rig.game.FormKeyDown(keys::Down);
    }
}

int countOf(const std::vector<std::string>& items, const std::string& item) {
    return static_cast<int>(std::count(items.begin(), items.end(), item));
}

struct Tally {
    int games = 0;
    int rowsCleared = 0;
    int fourRowClears = 0;
};

Tally sumTally(const std::vector<std::string>& calls) {
    Tally tally;
    for (const std::string& call : calls) {
        int column = 0;
        int amount = 0;
        if (std::sscanf(call.c_str(), "add %d %d", &column, &amount) == 2) {
            tally.games += column == 1 ? amount : 0;
            tally.rowsCleared += column == 2 ? amount : 0;
            tally.fourRowClears += column == 3 ? amount : 0;
        }
    }
    return tally;
}

TEST(WholeGame, GreedyPlayerClearsRowsClimbsLevelsAndFinallyLoses) {
    for (uint32_t seed : {1u, 31337u}) {
        GameRig rig(seed);
        rig.host.clearRecords();
        rig.game.button_startClick();
        int pieces = 0;
        uint32_t expectedScore = 0;
        while (rig.game.gamerunning() && pieces < 2000) {
            if (rig.game.flashcount == 0 && rig.game.blocky == 0) {
                ++pieces;
                // After 300 pieces the player stops steering, so the stack grows
                // up to the entry row and the game ends.
                if (pieces < 300) {
                    playPlacement(rig, choosePlacement(rig.game));
                }
            }
            const int before = static_cast<int>(rig.host.sounds.size());
            ASSERT_TRUE(rig.timer.fireNext());
            for (size_t i = static_cast<size_t>(before); i < rig.host.sounds.size(); ++i) {
                if (rig.host.sounds[i] == "lineclear" || rig.host.sounds[i] == "tetris") {
                    expectedScore += clearPoints(rig.game.fullcount, 1);
                    EXPECT_EQ(rig.timer.interval(),
                              gravityInterval(1 + rig.game.lines / 10));
                }
            }
            for (int column = 0; column < 12; ++column) {
                for (int row = 0; row < 22; ++row) {
                    const uint8_t cell = rig.game.wellcells[column][row];
                    const bool wall = column == 0 || column == 11 || row == 21;
                    ASSERT_TRUE(wall ? cell == 9 : cell <= 7);
                }
            }
        }
        ASSERT_FALSE(rig.game.gamerunning()) << "seed " << seed;
        EXPECT_GT(rig.game.lines, 100) << "the greedy player should pass level 10";
        EXPECT_EQ(rig.game.score, expectedScore);
        EXPECT_EQ(rig.game.reportedScore(), rig.game.score);
        EXPECT_EQ(rig.game.levelAnnounced(), 1 + rig.game.lines / 10);
        EXPECT_EQ(rig.host.labels[Label::FinalScore], "Your Score: " + std::to_string(expectedScore));
        EXPECT_EQ(countOf(rig.host.sounds, "place"), pieces);
        EXPECT_EQ(countOf(rig.host.sounds, "gameover"), 1);
        EXPECT_EQ(rig.host.sounds.back(), "gameover");
        EXPECT_EQ(countOf(rig.host.sounds, "levelup"), rig.game.lines / 10);

        const Tally tally = sumTally(rig.host.tally);
        EXPECT_EQ(tally.games, 1);
        EXPECT_EQ(tally.rowsCleared, rig.game.lines + 1);  // the end adds one
        EXPECT_EQ(tally.fourRowClears, countOf(rig.host.sounds, "tetris"));
        const size_t n = rig.host.tally.size();
        EXPECT_EQ(rig.host.tally[n - 3], "checkscore " + std::to_string(expectedScore) + " Ann");
        EXPECT_EQ(rig.host.tally[n - 1], "change 4 " + std::to_string(1 + rig.game.lines / 10));
        EXPECT_TRUE(rig.host.panels[Panel::GameOverPanel]);
        EXPECT_TRUE(rig.host.panels[Panel::StartButton]);
    }
}

TEST(WholeGame, UnsteeredGameFollowsTheGeneratorAndEndsAtTheEntry) {
    const uint32_t seed = 5150;
    GameRig rig(seed);
    rig.start();
    PieceRandom reference(seed);
    std::vector<int> types;
    for (int i = 0; i < 200; ++i) {
        types.push_back(reference.nextType());
    }
    EXPECT_EQ(rig.game.blocktype, types[0]);
    EXPECT_EQ(rig.game.nexttype, types[1]);
    size_t entered = 1;
    while (rig.game.gamerunning()) {
        const int placed = countOf(rig.host.sounds, "place");
        ASSERT_TRUE(rig.timer.fireNext());
        if (countOf(rig.host.sounds, "place") > placed && rig.game.gamerunning()) {
            ASSERT_LT(entered + 1, types.size());
            EXPECT_EQ(rig.game.blocktype, types[entered]);
            EXPECT_EQ(rig.game.nexttype, types[entered + 1]);
            ++entered;
        }
    }
    // Pieces pile up in columns 6 to 9 until one cannot leave the entry row.
    EXPECT_EQ(countOf(rig.host.sounds, "place"), static_cast<int>(entered));
    EXPECT_GE(entered, 5u);
    EXPECT_EQ(rig.game.blocky, 0);
    EXPECT_EQ(rig.game.score, 0);
    EXPECT_EQ(rig.host.labels[Label::FinalScore], "Your Score: 0");
    EXPECT_FALSE(rig.timer.enabled());
    EXPECT_EQ(rig.host.sounds.back(), "gameover");
}

}  // namespace
}  // namespace velmora::engine::testing
