// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/string_grid.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace velmora::tally {

namespace {

size_t checkedCount(int count) {
    if (count < 0) {
        throw std::invalid_argument("StringGrid: negative count");
    }
    return static_cast<size_t>(count);
}

}  // namespace

StringGrid::StringGrid(int colCount, int rowCount) {
    setRowCount(rowCount);
    setColCount(colCount);
}

void StringGrid::setColCount(int count) {
    columns_.resize(checkedCount(count), std::vector<std::string>(static_cast<size_t>(rowCount_)));
}

void StringGrid::setRowCount(int count) {
    size_t rows = checkedCount(count);
    for (auto& column : columns_) {
        column.resize(rows);
    }
    rowCount_ = count;
}

void StringGrid::ensureSize(int minColCount, int minRowCount) {
    if (rowCount_ < minRowCount) {
        setRowCount(minRowCount);
    }
    if (colCount() < minColCount) {
        setColCount(minColCount);
    }
}

const std::string& StringGrid::cell(int col, int row) const {
    if (col < 0 || row < 0) {
        throw std::out_of_range("StringGrid: cell outside the grid");
    }
    return columns_.at(static_cast<size_t>(col)).at(static_cast<size_t>(row));
}

void StringGrid::setCell(int col, int row, std::string text) {
    if (col < 0 || row < 0) {
        throw std::out_of_range("StringGrid: cell outside the grid");
    }
    columns_.at(static_cast<size_t>(col)).at(static_cast<size_t>(row)) = std::move(text);
}

}  // namespace velmora::tally
