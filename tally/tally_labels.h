// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The labels of the tally list window as plain data: the five totals
// (mylabel_1 to mylabel_5) and, for each rank 1 to 10, a rank number
// (label_numN), a date (label_dateN), a name (label_nameN) and a score
// (label_highN) whose tag holds the rank's ranking value. The window only
// draws what this model says; a listener tells it which label changed.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::tally {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kPale{230, 227, 196};    // the window's text colour as laid out
inline constexpr Rgb kWhite{255, 255, 255};   // a rank after a game or a reset
inline constexpr Rgb kYellow{255, 255, 0};    // the rank the last game entered

struct TallyLabel {
    std::string caption;
    int32_t tag = 0;  // the ranking value on score labels; 0 elsewhere
    Rgb colour = kPale;
    bool bold = true;

    bool operator==(const TallyLabel&) const = default;
};

enum class RankLabel { Num, Date, Name, High };

inline constexpr int kTotalCount = 5;
inline constexpr int kRankCount = 10;

class TallyLabels {
public:
    // Called with the label's name ("mylabel_2", "label_high7") after each
    // change to one of its fields.
    using Listener = std::function<void(const std::string& name)>;

    // The labels as the window is laid out: totals "0"; every rank shows
    // date "Feb 11, 2008", name "Nivolt", score "0" with ranking value 0;
    // rank numbers "1." to "10."; all pale and bold.
    TallyLabels();

    void setListener(Listener listener) { listener_ = std::move(listener); }

    // The label of that name (prefix followed by the decimal number), or
    // nullptr when there is none.
    const TallyLabel* find(std::string_view name) const;

    // column 1 to 5, n 1 to 10; std::out_of_range otherwise.
    const TallyLabel& total(int column) const;
    const TallyLabel& rank(RankLabel kind, int n) const;

    static std::string totalName(int column);
    static std::string rankName(RankLabel kind, int n);

    void setTotalCaption(int column, const std::string& caption);
    void setRankCaption(RankLabel kind, int n, const std::string& caption);
    void setRankingValue(int n, int32_t value);
    // Colour and boldness of the rank's number, date, name and score labels.
    void setRankStyle(int n, Rgb colour, bool bold);

private:
    TallyLabel& totalLabel(int column);
    TallyLabel& rankLabel(RankLabel kind, int n);
    void changed(const std::string& name) const;

    std::array<TallyLabel, kTotalCount> totals_;
    std::array<std::array<TallyLabel, 4>, kRankCount> ranks_;
    Listener listener_;
};

}  // namespace velmora::tally
