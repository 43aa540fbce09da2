// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/grid_text.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tally/tally.h"
#include "tally/tally_error.h"

namespace velmora::tally {
namespace {

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string errorOf(std::string_view text) {
    try {
        parseGridText(text);
    } catch (const TallyError& e) {
        return e.what();
    }
    return "no error";
}

TEST(GridText, OfAFreshTallyHas110LinesAnd279Bytes) {
    std::string text = gridText(Tally().stringgrid_scores());
    EXPECT_EQ(text.size(), 279u);
    std::vector<std::string> lines = splitCrLf(text);
    ASSERT_EQ(lines.size(), 110u);
    EXPECT_EQ(lines[0], "9");
    EXPECT_EQ(lines[1], "12");
    // Line numbers from 1: cell (k, r) is on line 3 + 12k + r.
    auto line = [&](int number) { return lines[static_cast<size_t>(number - 1)]; };
    for (int number : {3, 15, 27, 39, 51, 63}) {
        EXPECT_EQ(line(number), "0") << number;
    }
    for (int number = 16; number <= 25; ++number) {
        EXPECT_EQ(line(number), "-1000") << number;
    }
    EXPECT_EQ(line(26), "");
    for (int number = 75; number <= 110; ++number) {
        EXPECT_EQ(line(number), "") << number;
    }
}

TEST(GridText, RoundTripsCellsWithBlanksAndPunctuation) {
    StringGrid grid(9, 12);
    std::vector<std::string> names = {"  two  spaces ", "O'Brien, Jr.", "a;b|c\t\"d\"", "%s %n",
                                      "\xE9t\xE9", "-12", " 9", ""};
    for (int row = 0; row < 12; ++row) {
        for (int col = 0; col < 9; ++col) {
            grid.setCell(col, row, names[static_cast<size_t>(row * 9 + col) % names.size()]);
        }
    }
    EXPECT_EQ(parseGridText(gridText(grid)), grid);

    StringGrid other(3, 2);
    other.setCell(2, 1, "last");
    EXPECT_EQ(parseGridText(gridText(other)), other);
}

TEST(GridText, WritesLineBreaksInsideACellAsBlanks) {
    StringGrid grid(1, 2);
    grid.setCell(0, 0, "two\r\nlines\n");
    grid.setCell(0, 1, "after");
    std::string text = gridText(grid);
    EXPECT_EQ(text, "1\r\n2\r\ntwo  lines \r\nafter\r\n");
    EXPECT_EQ(parseGridText(text).cell(0, 1), "after");
}

TEST(GridText, ReadsCountsWithLeadingBlanksAndTrailingWords) {
    StringGrid grid = parseGridText("  2 columns\r\n\t1\r\nx\r\ny\r\n");
    EXPECT_EQ(grid.colCount(), 2);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.cell(0, 0), "x");
    EXPECT_EQ(grid.cell(1, 0), "y");
}

TEST(GridText, AcceptsBareLineFeedsAndIgnoresLinesAfterTheLastCell) {
    StringGrid grid = parseGridText("1\n2\nfirst\nsecond\r\nextra\r\n");
    EXPECT_EQ(grid.cell(0, 0), "first");
    EXPECT_EQ(grid.cell(0, 1), "second");
}

TEST(GridText, ATextThatEndsEarlyLeavesTheLastCellsEmpty) {
    StringGrid grid = parseGridText("2\r\n2\r\na\r\nb\r\nc");
    EXPECT_EQ(grid.cell(0, 0), "a");
    EXPECT_EQ(grid.cell(0, 1), "b");
    EXPECT_EQ(grid.cell(1, 0), "c");
    EXPECT_EQ(grid.cell(1, 1), "");
}

TEST(GridText, RejectsCountsThatAreNotNumbersOrAreAbsurd) {
    for (std::string_view bad : {"", "\r\n12\r\n", "x\r\n12\r\n", "9x\r\n12\r\n", "9\r\n",
                                 "9\r\n+\r\n", "0\r\n1\r\n\r\n", "1\r\n-1\r\n\r\n",
                                 "1001\r\n1\r\n", "99999999999\r\n1\r\n", "1.5\r\n1\r\nx\r\n",
                                 "9\r\n12\r\n", "1000\r\n1000\r\nshort\r\n"}) {
        EXPECT_EQ(errorOf(bad), "Invalid numeric input") << testing::PrintToString(bad);
    }
    EXPECT_EQ(errorOf("1\r\n1\r\n"), "no error");  // one cell, empty
}

class GridFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("velmora_grid_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
};

TEST_F(GridFileTest, SavesAndLoadsTheSameGrid) {
    StringGrid grid = Tally().stringgrid_scores();
    grid.setCell(2, 1, "Name with spaces!");
    savegrid(grid, path("grid.txt"));
    EXPECT_EQ(std::filesystem::file_size(path("grid.txt")), 279u + 17u);
    StringGrid loaded;
    loadgrid(loaded, path("grid.txt"));
    EXPECT_EQ(loaded, grid);
}

TEST_F(GridFileTest, MissingOrDamagedFileLeavesTheGridAsItWas) {
    StringGrid grid(2, 2);
    grid.setCell(1, 1, "keep");
    StringGrid before = grid;
    try {
        loadgrid(grid, path("missing.txt"));
        FAIL() << "no error";
    } catch (const TallyError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(grid, before);

    std::ofstream(path("bad.txt")) << "9\r\nrows\r\n";
    try {
        loadgrid(grid, path("bad.txt"));
        FAIL() << "no error";
    } catch (const TallyError& e) {
        EXPECT_STREQ(e.what(), "Invalid numeric input");
    }
    EXPECT_EQ(grid, before);
}

TEST_F(GridFileTest, SaveToAFolderThatDoesNotExistFails) {
    EXPECT_THROW(savegrid(StringGrid(1, 1), path("no/such/folder/grid.txt")), TallyError);
}

}  // namespace
}  // namespace velmora::tally
