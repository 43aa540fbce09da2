// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally_table.h"

#include <array>
#include <string_view>

namespace velmora::tally {

namespace {

constexpr std::array<std::string_view, kTotalCount> kTotalCaptions = {
    "Total Games:", "Total Lines Cleared:", "Num of Tetris:", "Highest Level:",
    "Running Total Score:"};

std::string padRight(std::string_view text, size_t width) {
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), ' ');
    }
    return out;
}

std::string padLeft(std::string_view text, size_t width) {
    std::string out;
    if (text.size() < width) {
        out.append(width - text.size(), ' ');
    }
    return out.append(text);
}

}  // namespace

std::string tallyTable(const Tally& tally) {
    const TallyLabels& labels = tally.labels();
    std::string out;
    for (int column = 1; column <= kTotalCount; ++column) {
        out += padRight(kTotalCaptions[static_cast<size_t>(column - 1)], 22);
        out += labels.total(column).caption + "\n";
    }
    out += "\n" + padLeft("Rank", 4) + "  " + padRight("Date", 14) + padRight("Name", 14) +
           padLeft("Score", 11) + "\n";
    for (int n = 1; n <= kRankCount; ++n) {
        out += padLeft(labels.rank(RankLabel::Num, n).caption, 4) + "  ";
        out += padRight(labels.rank(RankLabel::Date, n).caption, 14);
        out += padRight(labels.rank(RankLabel::Name, n).caption, 14);
        out += padLeft(labels.rank(RankLabel::High, n).caption, 11);
        // Trailing blanks of an empty slot serve no one.
        out.erase(out.find_last_not_of(' ') + 1);
        out += "\n";
    }
    return out;
}

}  // namespace velmora::tally
