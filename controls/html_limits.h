// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How much of a page from the network reaches Qt's rich-text engine. Each
// limit sits where the engine's cost grows faster than the page: nesting,
// elements, table cells, pictures in one paragraph, and runs of text with
// nowhere to break a line.

#include <chrono>
#include <cstddef>

namespace velmora::online {

struct HtmlLimits {
    size_t maxInputBytes = 512 * 1024;  // parsed at all; the rest of the page is dropped
    // The parser's own memory and processor time. A page that needs more is
    // parsed again, cut to an eighth each time, in the time that is left;
    // when even that fails, it is not shown.
    size_t maxParseBytes = 32 * 1024 * 1024;
    std::chrono::milliseconds firstParseTime{50};
    std::chrono::milliseconds laterParseTime{25};
    int maxParses = 4;
    int maxElements = 8000;             // the page ends before the element past this
    int maxTextChars = 32 * 1024;       // the page ends where its text reaches this
    int maxNesting = 40;                // deeper elements are dropped, their text kept
    int maxTableNesting = 4;            // deeper tables lose their table markup
    int maxTables = 64;                 // later ones lose their table markup
    int maxTableParts = 1200;           // rows and cells in all; later ones are dropped
    int maxColumns = 64;                // cells of one row
    int maxSpan = 16;                   // a cell's colspan or rowspan, at most
    int maxPicturesPerParagraph = 16;
    int maxPictures = 200;
    int maxRunChars = 48;  // a run of text without a break gets one after this many
    int maxMarks = 8;      // combining marks on one character; more are dropped
};

}  // namespace velmora::online
