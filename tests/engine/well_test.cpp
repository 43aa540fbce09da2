// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/well.h"

#include <gtest/gtest.h>

namespace velmora::engine {
namespace {

TEST(Well, ResetEmptiesTheWellAndBuildsWallsAndFloor) {
    WellCells well{};
    for (auto& column : well) {
        column.fill(5);
    }
    resetWell(well);
    for (int column = 0; column < kWellColumns; ++column) {
        for (int row = 0; row < kWellRows; ++row) {
            const bool wall = column == 0 || column == 11 || row == 21;
            EXPECT_EQ(well[column][row], wall ? 9 : 0) << column << "," << row;
        }
    }
}

TEST(Well, FitTestIsBlockedByWallsFloorAndSettledCells) {
    WellCells well{};
    resetWell(well);
    const Mask bar = shapeMask(6, 0);   // box column 1, rows 0 to 3
    const Mask flat = shapeMask(6, 1);  // box row 0, columns 0 to 3
    EXPECT_TRUE(fits(well, bar, 0, 17));
    EXPECT_FALSE(fits(well, bar, 0, 18));  // floor
    EXPECT_FALSE(fits(well, bar, -1, 5));  // left wall
    EXPECT_TRUE(fits(well, flat, 7, 20));
    EXPECT_FALSE(fits(well, flat, 8, 20));  // right wall
    well[4][10] = 3;
    EXPECT_FALSE(fits(well, flat, 2, 10));
    EXPECT_TRUE(fits(well, flat, 5, 10));
    // Beyond the grid counts as occupied even where the mask has no wall cell.
    EXPECT_FALSE(fits(well, bar, 11, 5));
    EXPECT_FALSE(fits(well, flat, 1, -1));
    EXPECT_FALSE(fits(well, flat, 255, 5));
}

}  // namespace
}  // namespace velmora::engine
