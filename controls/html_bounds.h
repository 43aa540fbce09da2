// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bounds a hostile HTML page before Qt's rich-text engine sees it. The
// engine's time grows with the square of element nesting and steeply with
// the number of elements, so a page from the network is cut down first:
// this is a scanner of tags, not a parser, and it never reorders content.

#include <QString>

namespace velmora::online {

struct HtmlBounds {
    qsizetype maxChars = 2 * 1024 * 1024;  // the rest of a longer page is dropped
    int maxTags = 20000;                   // the page ends before the tag past this
    int maxNesting = 100;                  // deeper start tags (and their end tags) are dropped
    int maxTableNesting = 4;               // tables deeper than this lose their table tags
    int maxSpan = 64;                      // a cell's colspan or rowspan, at most
};

// `page` within `bounds`. Elements that close themselves or are commonly
// left open (br, img, p, li, td, tr, ...) do not count as nesting. Inside a
// table that is too deep, the table's own tags go and its cells' content
// stays, one after the other. Cells spanning more than maxSpan columns or
// rows span maxSpan: the engine makes room for every spanned cell.
QString boundHtml(const QString& page, const HtmlBounds& bounds = {});

}  // namespace velmora::online
