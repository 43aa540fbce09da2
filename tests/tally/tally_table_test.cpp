// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally_table.h"

#include <gtest/gtest.h>

namespace velmora::tally {
namespace {

TEST(TallyTable, ListsTheTotalsAndTheTopTenAsTheWindowShowsThem) {
    Tally tally([] { return std::string("3/4/21"); });
    tally.reset();
    tally.addtomineincrease(1, 2);
    tally.addtomineincrease(5, 1240);
    tally.checkscore(1200, "Ann Lee");
    tally.checkscore(40, "Bo");
    EXPECT_EQ(tallyTable(tally),
              "Total Games:          2\n"
              "Total Lines Cleared:  0\n"
              "Num of Tetris:        0\n"
              "Highest Level:        0\n"
              "Running Total Score:  1240\n"
              "\n"
              "Rank  Date          Name                Score\n"
              "  1.  3/4/21        Ann Lee              1200\n"
              "  2.  3/4/21        Bo                     40\n"
              "  3.\n  4.\n  5.\n  6.\n  7.\n  8.\n  9.\n 10.\n");
}

}  // namespace
}  // namespace velmora::tally
