// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A grid of text cells addressed as (column, row), like the hidden string
// grid that holds the tally. Changing a count keeps the cells that still fit
// and adds empty ones.

#include <string>
#include <vector>

namespace velmora::tally {

class StringGrid {
public:
    StringGrid() = default;
    // A grid of the given counts with every cell empty. Counts must be >= 0.
    StringGrid(int colCount, int rowCount);

    int colCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return rowCount_; }

    // Counts must be >= 0 (std::invalid_argument otherwise).
    void setColCount(int count);
    void setRowCount(int count);
    // Enlarges the grid to at least these counts; never shrinks it.
    void ensureSize(int minColCount, int minRowCount);

    // The cell's text; std::out_of_range outside the grid.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string text);

    bool operator==(const StringGrid&) const = default;

private:
    std::vector<std::vector<std::string>> columns_;
    int rowCount_ = 0;
};

}  // namespace velmora::tally
