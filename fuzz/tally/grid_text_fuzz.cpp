// SPDX-License-Identifier: GPL-3.0-or-later
// Any grid text either is rejected with the tally's error or gives a grid no
// larger than the text whose written text reads back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tally/grid_text.h"
#include "tally/tally.h"
#include "tally/tally_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    velmora::tally::StringGrid grid;
    try {
        grid = velmora::tally::parseGridText(text);
    } catch (const velmora::tally::TallyError&) {
        return 0;
    }
    if (static_cast<size_t>(grid.colCount()) * static_cast<size_t>(grid.rowCount()) > size) {
        std::abort();
    }
    std::string written = velmora::tally::gridText(grid);
    if (velmora::tally::gridText(velmora::tally::parseGridText(written)) != written) {
        std::abort();
    }
    // The tally's operations cope with whatever shape the text gave.
    velmora::tally::Tally tally([] { return std::string("today"); });
    tally.stringgrid_scores() = grid;
    tally.loadtally();
    tally.checkscore(100, "fuzz");
    tally.addtomineincrease(5, 100);
    return 0;
}
