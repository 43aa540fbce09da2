// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's tally: five running totals and a top-ten table of final
// scores, held in the tally grid stringgrid_scores, together with the labels
// of the tally list window that show them. The game feeds it through
// addtomineincrease, checkscore and checkchange; loading a tally file ends
// with loadtally; the window's reset button calls reset after asking.
//
// Grid layout: row 0 holds the totals in columns 1 to 5 (games, rows
// cleared, four-row clears, highest level, running total of scores); rows 1
// to 10 hold rank n: column 0 the date, column 1 the score ("-1000" for an
// empty slot), column 2 the name. The grid is 9 columns by 12 rows; a grid
// loaded smaller is enlarged to that before any operation uses it.
//
// New scores are ranked against the score labels' ranking values, not the
// grid, so the ten sample rows shown before any tally file exists take part
// in the ranking but are never saved.

#include <cstdint>
#include <functional>
#include <string>

#include "tally/string_grid.h"
#include "tally/tally_labels.h"

namespace velmora::tally {

inline constexpr int kGridColCount = 9;
inline constexpr int kGridRowCount = 12;
inline constexpr int32_t kEmptyScore = -1000;

class Tally {
public:
    // Gives the text of today's date as a new top-ten entry records it.
    using DateSource = std::function<std::string()>;

    // Today's date in the locale's short date format.
    static std::string shortDateOfToday();

    // The state at creation, before any tally file is read: cells (0..5, 0)
    // "0", cells (1, 1..10) "-1000", the rest empty; labels as laid out.
    explicit Tally(DateSource today = &Tally::shortDateOfToday);

    const StringGrid& stringgrid_scores() const { return grid_; }
    // For loading: replace the grid, then call loadtally.
    StringGrid& stringgrid_scores() { return grid_; }

    const TallyLabels& labels() const { return labels_; }
    // The listener hears the name of every label that changes.
    void setListener(TallyLabels::Listener listener) { labels_.setListener(std::move(listener)); }

    // Cell (column, 0) grows by amount (32-bit, wrapping) and the column's
    // total label shows the new text. A cell that is not an integer counts
    // as 0. Columns outside 1 to 5 are ignored.
    void addtomineincrease(int column, int32_t amount);

    // Cell (column, 0) becomes value when value is greater than the cell's
    // current value (non-integer text counts as 0); the label follows.
    // Columns outside 1 to 5 are ignored.
    void checkchange(int column, int32_t value);

    // Enters a final score into the top ten: removes the previous highlight,
    // inserts above the first rank whose ranking value is <= score (so among
    // equal scores the newest is first), pushes the ranks below it down,
    // records today's date and the name, and highlights the new rank in
    // bold yellow. Returns false, changing nothing but the highlight, when
    // the score is below all ten ranking values.
    bool checkscore(int32_t score, const std::string& name);

    // Makes the labels agree with the grid after a load: totals show their
    // cells' text; ranks take date, name and score from the grid, empty score
    // cells become "-1000", and the ranking value is the score cell's integer
    // or -1000 when it is not one; a slot at -1000 or less shows no score.
    // Colours and boldness stay.
    void loadtally();

    // Clears the tally (the window asks for confirmation first): 12 rows,
    // totals "0" (cells (1..8, 0)), every rank blank with ranking value
    // -1000 and plain white; cell (0, 0) keeps its text.
    void reset();

private:
    // The operations need 9 columns and 12 rows; a smaller loaded grid grows.
    void ensureShape();
    int32_t totalValue(int column) const;
    void setTotal(int column, int32_t value);
    void moveRankDown(int from);

    StringGrid grid_;
    TallyLabels labels_;
    DateSource today_;
};

}  // namespace velmora::tally
