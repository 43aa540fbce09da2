// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/tally_labels.h"

#include <optional>
#include <stdexcept>

#include "tally/decimal.h"

namespace velmora::tally {

namespace {

struct Prefix {
    std::string_view text;
    RankLabel kind;
};

constexpr std::string_view kTotalPrefix = "mylabel_";
constexpr std::array<Prefix, 4> kRankPrefixes = {{{"label_num", RankLabel::Num},
                                                   {"label_date", RankLabel::Date},
                                                   {"label_name", RankLabel::Name},
                                                   {"label_high", RankLabel::High}}};
constexpr std::array<RankLabel, 4> kRankKinds = {RankLabel::Num, RankLabel::Date, RankLabel::Name,
                                                 RankLabel::High};

size_t indexOf(RankLabel kind) { return static_cast<size_t>(kind); }

void checkRange(int value, int last, const char* what) {
    if (value < 1 || value > last) {
        throw std::out_of_range(what);
    }
}

// The number after a prefix, written as the window's names write it: decimal
// digits without sign, blanks or leading zeros.
std::optional<int32_t> numberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size()) {
        return std::nullopt;
    }
    std::string_view digits = name.substr(prefix.size());
    if (digits[0] == '0' || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return parseInt32(digits);
}

// Setting a field notifies only when the value really changes.
template <typename T>
bool assign(T& field, const T& value) {
    if (field == value) {
        return false;
    }
    field = value;
    return true;
}

}  // namespace

TallyLabels::TallyLabels() {
    for (auto& label : totals_) {
        label.caption = "0";
    }
    for (int n = 1; n <= kRankCount; ++n) {
        rankLabel(RankLabel::Num, n).caption = std::to_string(n) + ".";
        rankLabel(RankLabel::Date, n).caption = "Feb 11, 2008";
        rankLabel(RankLabel::Name, n).caption = "Nivolt";
        rankLabel(RankLabel::High, n).caption = "0";
    }
}

const TallyLabel* TallyLabels::find(std::string_view name) const {
    if (auto column = numberAfter(name, kTotalPrefix)) {
        return *column >= 1 && *column <= kTotalCount ? &total(*column) : nullptr;
    }
    for (const auto& prefix : kRankPrefixes) {
        if (auto n = numberAfter(name, prefix.text)) {
            return *n >= 1 && *n <= kRankCount ? &rank(prefix.kind, *n) : nullptr;
        }
    }
    return nullptr;
}

const TallyLabel& TallyLabels::total(int column) const {
    checkRange(column, kTotalCount, "TallyLabels: no such total");
    return totals_[static_cast<size_t>(column - 1)];
}

const TallyLabel& TallyLabels::rank(RankLabel kind, int n) const {
    checkRange(n, kRankCount, "TallyLabels: no such rank");
    return ranks_[static_cast<size_t>(n - 1)][indexOf(kind)];
}

TallyLabel& TallyLabels::totalLabel(int column) { return const_cast<TallyLabel&>(total(column)); }

TallyLabel& TallyLabels::rankLabel(RankLabel kind, int n) {
    return const_cast<TallyLabel&>(rank(kind, n));
}

std::string TallyLabels::totalName(int column) {
    return std::string(kTotalPrefix) + std::to_string(column);
}

std::string TallyLabels::rankName(RankLabel kind, int n) {
    return std::string(kRankPrefixes[indexOf(kind)].text) + std::to_string(n);
}

void TallyLabels::setTotalCaption(int column, const std::string& caption) {
    if (assign(totalLabel(column).caption, caption)) {
        changed(totalName(column));
    }
}

void TallyLabels::setRankCaption(RankLabel kind, int n, const std::string& caption) {
    if (assign(rankLabel(kind, n).caption, caption)) {
        changed(rankName(kind, n));
    }
}

void TallyLabels::setRankingValue(int n, int32_t value) {
    if (assign(rankLabel(RankLabel::High, n).tag, value)) {
        changed(rankName(RankLabel::High, n));
    }
}

void TallyLabels::setRankStyle(int n, Rgb colour, bool bold) {
    for (RankLabel kind : kRankKinds) {
        TallyLabel& label = rankLabel(kind, n);
        bool colourChanged = assign(label.colour, colour);
        bool boldChanged = assign(label.bold, bold);
        if (colourChanged || boldChanged) {
            changed(rankName(kind, n));
        }
    }
}

void TallyLabels::changed(const std::string& name) const {
    if (listener_) {
        listener_(name);
    }
}

}  // namespace velmora::tally
