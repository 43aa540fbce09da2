// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally.h"

#include <utility>

#include "platform/dates.h"
#include "tally/decimal.h"

namespace velmora::tally {

namespace {

bool isTotalColumn(int column) { return column >= 1 && column <= kTotalCount; }

}  // namespace

std::string Tally::shortDateOfToday() {
    return platform::formatToday(platform::shortDateFormat());
}

Tally::Tally(DateSource today) : grid_(kGridColCount, kGridRowCount), today_(std::move(today)) {
    for (int col = 0; col <= kTotalCount; ++col) {
        grid_.setCell(col, 0, "0");
    }
    for (int n = 1; n <= kRankCount; ++n) {
        grid_.setCell(1, n, decimalText(kEmptyScore));
    }
}

void Tally::ensureShape() { grid_.ensureSize(kGridColCount, kGridRowCount); }

int32_t Tally::totalValue(int column) const {
    return parseInt32(grid_.cell(column, 0)).value_or(0);
}

void Tally::setTotal(int column, int32_t value) {
    std::string text = decimalText(value);
    grid_.setCell(column, 0, text);
    labels_.setTotalCaption(column, text);
}

void Tally::addtomineincrease(int column, int32_t amount) {
    if (!isTotalColumn(column)) {
        return;
    }
    ensureShape();
    setTotal(column, wrappingAdd(totalValue(column), amount));
}

void Tally::checkchange(int column, int32_t value) {
    if (!isTotalColumn(column)) {
        return;
    }
    ensureShape();
    if (totalValue(column) >= value) {
        return;
    }
    setTotal(column, value);
}

// Rank from + 1 takes rank from's labels and cells; each side moves its own
// contents.
void Tally::moveRankDown(int from) {
    int to = from + 1;
    labels_.setRankingValue(to, labels_.rank(RankLabel::High, from).tag);
    for (RankLabel kind : {RankLabel::High, RankLabel::Date, RankLabel::Name}) {
        labels_.setRankCaption(kind, to, labels_.rank(kind, from).caption);
    }
    for (int col = 0; col <= 2; ++col) {
        grid_.setCell(col, to, grid_.cell(col, from));
    }
}

bool Tally::checkscore(int32_t score, const std::string& name) {
    ensureShape();
    for (int n = 1; n <= kRankCount; ++n) {
        labels_.setRankStyle(n, kWhite, false);
    }
    int entry = 1;
    while (entry <= kRankCount && labels_.rank(RankLabel::High, entry).tag > score) {
        ++entry;
    }
    if (entry > kRankCount) {
        return false;
    }
    for (int m = kRankCount - 1; m >= entry; --m) {
        moveRankDown(m);
    }
    labels_.setRankingValue(entry, score);
    labels_.setRankCaption(RankLabel::High, entry, decimalText(score));
    labels_.setRankCaption(RankLabel::Date, entry, today_ ? today_() : std::string());
    labels_.setRankCaption(RankLabel::Name, entry, name);
    labels_.setRankStyle(entry, kYellow, true);
    grid_.setCell(0, entry, labels_.rank(RankLabel::Date, entry).caption);
    grid_.setCell(1, entry, labels_.rank(RankLabel::High, entry).caption);
    grid_.setCell(2, entry, labels_.rank(RankLabel::Name, entry).caption);
    return true;
}

void Tally::loadtally() {
    ensureShape();
    for (int column = 1; column <= kTotalCount; ++column) {
        labels_.setTotalCaption(column, grid_.cell(column, 0));
    }
    for (int n = 1; n <= kRankCount; ++n) {
        if (grid_.cell(1, n).empty()) {
            grid_.setCell(1, n, decimalText(kEmptyScore));
        }
        labels_.setRankCaption(RankLabel::Date, n, grid_.cell(0, n));
        labels_.setRankCaption(RankLabel::Name, n, grid_.cell(2, n));
        int32_t ranking = parseInt32(grid_.cell(1, n)).value_or(kEmptyScore);
        labels_.setRankingValue(n, ranking);
        labels_.setRankCaption(RankLabel::High, n, ranking <= kEmptyScore ? "" : grid_.cell(1, n));
    }
}

void Tally::reset() {
    ensureShape();
    grid_.setRowCount(kGridRowCount);
    for (int column = 1; column <= kTotalCount; ++column) {
        labels_.setTotalCaption(column, "0");
    }
    for (int col = 1; col < kGridColCount; ++col) {
        grid_.setCell(col, 0, "0");
    }
    for (int row = 1; row < grid_.rowCount(); ++row) {
        grid_.setCell(1, row, decimalText(kEmptyScore));
        grid_.setCell(0, row, "");
        grid_.setCell(2, row, "");
    }
    for (int n = 1; n <= kRankCount; ++n) {
        for (RankLabel kind : {RankLabel::Date, RankLabel::High, RankLabel::Name}) {
            labels_.setRankCaption(kind, n, "");
        }
        labels_.setRankingValue(n, kEmptyScore);
        labels_.setRankStyle(n, kWhite, false);
    }
}

}  // namespace velmora::tally
