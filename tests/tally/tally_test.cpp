// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::tally {
namespace {

using testing::ElementsAre;

// Each new entry is dated "day 1", "day 2", ... so tests can tell them apart.
class TallyTest : public testing::Test {
protected:
    Tally tally{[this] { return "day " + std::to_string(++day); }};
    int day = 0;

    const TallyLabel& label(RankLabel kind, int n) const { return tally.labels().rank(kind, n); }
    std::string caption(RankLabel kind, int n) const { return label(kind, n).caption; }
    const std::string& cell(int col, int row) const { return tally.stringgrid_scores().cell(col, row); }

    // Score captions of ranks 1 to 10.
    std::vector<std::string> scores() const {
        std::vector<std::string> out;
        for (int n = 1; n <= kRankCount; ++n) {
            out.push_back(caption(RankLabel::High, n));
        }
        return out;
    }

    // A tally as the next start would see it: the same grid, loaded.
    Tally restarted() const {
        Tally next([] { return std::string("later"); });
        next.stringgrid_scores() = tally.stringgrid_scores();
        next.loadtally();
        return next;
    }

    void expectHighlightOnlyAt(int highlighted) const {
        for (int n = 1; n <= kRankCount; ++n) {
            for (RankLabel kind : {RankLabel::Num, RankLabel::Date, RankLabel::Name, RankLabel::High}) {
                const TallyLabel& l = label(kind, n);
                Rgb want = n == highlighted ? kYellow : kWhite;
                EXPECT_EQ(l.colour, want) << TallyLabels::rankName(kind, n);
                EXPECT_EQ(l.bold, n == highlighted) << TallyLabels::rankName(kind, n);
            }
        }
    }
};

TEST_F(TallyTest, StartsWithTheDefaultsOfANewWindow) {
    const StringGrid& grid = tally.stringgrid_scores();
    ASSERT_EQ(grid.colCount(), 9);
    ASSERT_EQ(grid.rowCount(), 12);
    for (int col = 0; col < 9; ++col) {
        EXPECT_EQ(cell(col, 0), col <= 5 ? "0" : "") << col;
    }
    for (int row = 1; row < 12; ++row) {
        EXPECT_EQ(cell(1, row), row <= 10 ? "-1000" : "") << row;
        EXPECT_EQ(cell(0, row), "");
        EXPECT_EQ(cell(2, row), "");
    }
    for (int column = 1; column <= 5; ++column) {
        EXPECT_EQ(tally.labels().total(column).caption, "0");
    }
    for (int n = 1; n <= kRankCount; ++n) {
        EXPECT_EQ(caption(RankLabel::Num, n), std::to_string(n) + ".");
        EXPECT_EQ(caption(RankLabel::Date, n), "Feb 11, 2008");
        EXPECT_EQ(caption(RankLabel::Name, n), "Nivolt");
        EXPECT_EQ(caption(RankLabel::High, n), "0");
        EXPECT_EQ(label(RankLabel::High, n).tag, 0);
        EXPECT_EQ(label(RankLabel::Date, n).colour, kPale);
        EXPECT_TRUE(label(RankLabel::Date, n).bold);
    }
}

TEST_F(TallyTest, FirstScorePushesTheSampleRowsDownButOnlyItIsSaved) {
    EXPECT_TRUE(tally.checkscore(0, "Ann"));
    EXPECT_EQ(caption(RankLabel::Date, 1), "day 1");
    EXPECT_EQ(caption(RankLabel::Name, 1), "Ann");
    for (int n = 2; n <= kRankCount; ++n) {
        EXPECT_EQ(caption(RankLabel::Name, n), "Nivolt") << n;
        EXPECT_EQ(caption(RankLabel::Date, n), "Feb 11, 2008") << n;
    }
    EXPECT_EQ(cell(0, 1), "day 1");
    EXPECT_EQ(cell(1, 1), "0");
    EXPECT_EQ(cell(2, 1), "Ann");
    for (int n = 2; n <= kRankCount; ++n) {
        EXPECT_EQ(cell(1, n), "-1000") << n;
        EXPECT_EQ(cell(2, n), "") << n;
    }

    Tally next = restarted();
    EXPECT_EQ(next.labels().rank(RankLabel::Name, 1).caption, "Ann");
    EXPECT_EQ(next.labels().rank(RankLabel::High, 1).caption, "0");
    for (int n = 2; n <= kRankCount; ++n) {
        EXPECT_EQ(next.labels().rank(RankLabel::Name, n).caption, "") << n;
        EXPECT_EQ(next.labels().rank(RankLabel::High, n).caption, "") << n;
        EXPECT_EQ(next.labels().rank(RankLabel::High, n).tag, kEmptyScore) << n;
    }
}

TEST_F(TallyTest, RanksByRankingValueWithTheNewestFirstAmongEqualScores) {
    tally.reset();
    tally.checkscore(500, "a");
    tally.checkscore(900, "b");
    tally.checkscore(500, "c");
    tally.checkscore(500, "d");
    tally.checkscore(40, "e");
    EXPECT_THAT(scores(), ElementsAre("900", "500", "500", "500", "40", "", "", "", "", ""));
    EXPECT_EQ(caption(RankLabel::Name, 2), "d");
    EXPECT_EQ(caption(RankLabel::Name, 3), "c");
    EXPECT_EQ(caption(RankLabel::Name, 4), "a");
    EXPECT_EQ(caption(RankLabel::Date, 2), "day 4");
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(cell(1, n), scores()[static_cast<size_t>(n - 1)]);
        EXPECT_EQ(cell(2, n), caption(RankLabel::Name, n));
        EXPECT_EQ(cell(0, n), caption(RankLabel::Date, n));
        EXPECT_EQ(label(RankLabel::High, n).tag, std::stoi(scores()[static_cast<size_t>(n - 1)]));
    }
    expectHighlightOnlyAt(5);
}

TEST_F(TallyTest, ATenthPlaceScoreReplacesRankTenAndAScoreBelowAllChangesNothing) {
    tally.reset();
    for (int32_t score = 1000; score >= 100; score -= 100) {
        tally.checkscore(score, "p" + std::to_string(score));
    }
    EXPECT_TRUE(tally.checkscore(150, "tenth"));
    EXPECT_THAT(scores(),
                ElementsAre("1000", "900", "800", "700", "600", "500", "400", "300", "200", "150"));
    EXPECT_EQ(cell(2, 9), "p200");
    EXPECT_EQ(cell(2, 10), "tenth");
    expectHighlightOnlyAt(10);

    StringGrid before = tally.stringgrid_scores();
    std::vector<std::string> captionsBefore = scores();
    EXPECT_FALSE(tally.checkscore(149, "low"));
    EXPECT_EQ(tally.stringgrid_scores(), before);
    EXPECT_EQ(scores(), captionsBefore);
    EXPECT_EQ(caption(RankLabel::Name, 10), "tenth");
    expectHighlightOnlyAt(0);
}

TEST_F(TallyTest, ResetBlanksEveryRankAndTheNextScoreEntersFirst) {
    tally.stringgrid_scores().setCell(0, 0, "kept");
    tally.stringgrid_scores().setRowCount(15);
    tally.addtomineincrease(1, 3);
    tally.checkchange(4, 7);
    tally.checkscore(300, "x");

    tally.reset();
    EXPECT_EQ(tally.stringgrid_scores().rowCount(), 12);
    EXPECT_EQ(cell(0, 0), "kept");
    for (int col = 1; col < 9; ++col) {
        EXPECT_EQ(cell(col, 0), "0") << col;
    }
    for (int row = 1; row < 12; ++row) {
        EXPECT_EQ(cell(1, row), "-1000") << row;
        EXPECT_EQ(cell(0, row), "");
        EXPECT_EQ(cell(2, row), "");
    }
    for (int column = 1; column <= 5; ++column) {
        EXPECT_EQ(tally.labels().total(column).caption, "0");
    }
    EXPECT_THAT(scores(), ElementsAre("", "", "", "", "", "", "", "", "", ""));
    for (int n = 1; n <= kRankCount; ++n) {
        EXPECT_EQ(label(RankLabel::High, n).tag, kEmptyScore);
        EXPECT_EQ(caption(RankLabel::Name, n), "");
        EXPECT_EQ(caption(RankLabel::Num, n), std::to_string(n) + ".");
    }
    expectHighlightOnlyAt(0);

    EXPECT_TRUE(tally.checkscore(0, "next"));
    EXPECT_EQ(caption(RankLabel::High, 1), "0");
    EXPECT_EQ(caption(RankLabel::High, 2), "");
}

// What the game reports in one game with a four-row clear and a single row.
TEST_F(TallyTest, AGameAddsItsRowsAndOneMoreRowAtItsEnd) {
    tally.addtomineincrease(1, 1);
    tally.addtomineincrease(3, 1);
    tally.addtomineincrease(2, 4);
    tally.addtomineincrease(2, 1);
    tally.addtomineincrease(2, 1);  // end of game
    tally.checkscore(1040, "Ann");
    tally.addtomineincrease(5, 1040);
    tally.checkchange(4, 2);

    EXPECT_EQ(cell(1, 0), "1");
    EXPECT_EQ(cell(2, 0), "6");
    EXPECT_EQ(cell(3, 0), "1");
    EXPECT_EQ(cell(4, 0), "2");
    EXPECT_EQ(cell(5, 0), "1040");
    for (int column = 1; column <= 5; ++column) {
        EXPECT_EQ(tally.labels().total(column).caption, cell(column, 0));
    }
    EXPECT_EQ(caption(RankLabel::High, 1), "1040");
}

TEST_F(TallyTest, HighestLevelNeverDecreases) {
    tally.checkchange(4, 5);
    tally.checkchange(4, 3);
    tally.checkchange(4, 5);
    EXPECT_EQ(cell(4, 0), "5");
    EXPECT_EQ(tally.labels().total(4).caption, "5");
    tally.checkchange(4, 6);
    EXPECT_EQ(cell(4, 0), "6");
}

TEST_F(TallyTest, TotalsThatAreNotIntegersCountAsZero) {
    StringGrid& grid = tally.stringgrid_scores();
    grid.setCell(1, 0, "");
    grid.setCell(2, 0, "12x");
    grid.setCell(4, 0, "junk");
    grid.setCell(5, 0, "99999999999");
    tally.addtomineincrease(1, 1);
    tally.addtomineincrease(2, 4);
    tally.checkchange(4, 0);
    EXPECT_EQ(cell(4, 0), "junk");  // 0 is not above 0
    tally.checkchange(4, 1);
    tally.addtomineincrease(5, 10);
    EXPECT_EQ(cell(1, 0), "1");
    EXPECT_EQ(cell(2, 0), "4");
    EXPECT_EQ(cell(4, 0), "1");
    EXPECT_EQ(cell(5, 0), "10");
}

TEST_F(TallyTest, TotalsWrapAroundIn32Bits) {
    tally.stringgrid_scores().setCell(5, 0, "2147483647");
    tally.addtomineincrease(5, 1);
    EXPECT_EQ(cell(5, 0), "-2147483648");
    tally.addtomineincrease(5, -1);
    EXPECT_EQ(cell(5, 0), "2147483647");
    tally.stringgrid_scores().setCell(1, 0, "-2147483648");
    tally.addtomineincrease(1, -2147483647 - 1);
    EXPECT_EQ(cell(1, 0), "0");
}

TEST_F(TallyTest, ColumnsOutsideTheTotalsAreIgnored) {
    StringGrid before = tally.stringgrid_scores();
    tally.addtomineincrease(0, 5);
    tally.addtomineincrease(6, 5);
    tally.checkchange(9, 5);
    EXPECT_EQ(tally.stringgrid_scores(), before);
}

TEST_F(TallyTest, LoadtallyMakesTheLabelsAgreeWithTheGrid) {
    tally.checkscore(10, "highlighted");
    StringGrid& grid = tally.stringgrid_scores();
    grid.setCell(1, 0, "17");
    grid.setCell(3, 0, "not a number");
    grid.setCell(0, 1, "3/4/21");
    grid.setCell(1, 1, "2500");
    grid.setCell(2, 1, "Mo");
    grid.setCell(1, 2, "");
    grid.setCell(2, 2, "blank score");
    grid.setCell(1, 3, "abc");
    grid.setCell(1, 4, "-1001");
    grid.setCell(1, 5, "-999");
    tally.loadtally();

    EXPECT_EQ(tally.labels().total(1).caption, "17");
    EXPECT_EQ(tally.labels().total(3).caption, "not a number");
    EXPECT_EQ(caption(RankLabel::Date, 1), "3/4/21");
    EXPECT_EQ(caption(RankLabel::Name, 1), "Mo");
    EXPECT_EQ(label(RankLabel::High, 1).tag, 2500);
    EXPECT_EQ(caption(RankLabel::Name, 2), "blank score");
    EXPECT_EQ(cell(1, 2), "-1000");
    EXPECT_EQ(cell(1, 3), "abc");
    EXPECT_EQ(label(RankLabel::High, 3).tag, kEmptyScore);
    EXPECT_EQ(label(RankLabel::High, 4).tag, -1001);
    EXPECT_EQ(label(RankLabel::High, 5).tag, -999);
    EXPECT_THAT(scores(), ElementsAre("2500", "", "", "", "-999", "", "", "", "", ""));
    // The highlight of the game before the load stays.
    EXPECT_EQ(label(RankLabel::Name, 1).colour, kYellow);

    tally.checkscore(-1000, "z");  // a slot that counts as empty takes it
    EXPECT_EQ(caption(RankLabel::Name, 2), "z");
}

TEST_F(TallyTest, ASmallLoadedGridGrowsToTheTallyShape) {
    tally.stringgrid_scores() = StringGrid(2, 3);
    tally.stringgrid_scores().setCell(1, 0, "4");
    tally.stringgrid_scores().setCell(1, 1, "70");
    tally.loadtally();
    EXPECT_EQ(tally.stringgrid_scores().colCount(), 9);
    EXPECT_EQ(tally.stringgrid_scores().rowCount(), 12);
    EXPECT_EQ(tally.labels().total(1).caption, "4");
    EXPECT_EQ(caption(RankLabel::High, 1), "70");
    EXPECT_EQ(cell(1, 10), "-1000");
    tally.addtomineincrease(5, 3);
    EXPECT_EQ(cell(5, 0), "3");
}

TEST_F(TallyTest, ListenerHearsEachLabelThatChanges) {
    std::vector<std::string> heard;
    tally.setListener([&](const std::string& name) { heard.push_back(name); });
    tally.addtomineincrease(1, 1);
    EXPECT_THAT(heard, ElementsAre("mylabel_1"));

    heard.clear();
    tally.checkchange(4, 0);  // no change, no call
    EXPECT_TRUE(heard.empty());

    tally.reset();
    tally.checkscore(10, "n");
    heard.clear();
    tally.checkscore(5, "m");  // rank 2: style of ranks 1 and 2, captions of rank 2
    EXPECT_THAT(heard, testing::IsSupersetOf({"label_num1", "label_high1", "label_high2",
                                              "label_date2", "label_name2", "label_num2"}));
    EXPECT_THAT(heard, testing::Not(testing::Contains("label_high3")));
}

TEST(TallyLabels, AreFoundByPrefixAndNumber) {
    TallyLabels labels;
    ASSERT_NE(labels.find("mylabel_5"), nullptr);
    EXPECT_EQ(labels.find("mylabel_5"), &labels.total(5));
    EXPECT_EQ(labels.find("label_high10"), &labels.rank(RankLabel::High, 10));
    EXPECT_EQ(labels.find("label_num3")->caption, "3.");
    EXPECT_EQ(labels.find("label_date1"), &labels.rank(RankLabel::Date, 1));
    EXPECT_EQ(labels.find("label_name7"), &labels.rank(RankLabel::Name, 7));
    for (const char* missing : {"mylabel_0", "mylabel_6", "label_high0", "label_high11",
                                "label_high01", "label_high", "label_high+1", "label_score",
                                "mylabel_99999999999"}) {
        EXPECT_EQ(labels.find(missing), nullptr) << missing;
    }
    EXPECT_EQ(TallyLabels::rankName(RankLabel::Date, 10), "label_date10");
    EXPECT_EQ(TallyLabels::totalName(2), "mylabel_2");
}

}  // namespace
}  // namespace velmora::tally
