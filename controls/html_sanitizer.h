// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a page from the network into a bounded document for Qt's rich-text
// engine. The page is read by gumbo, an HTML5 parser, so markup means what
// it would mean in a browser (spaced tags, entities in names, quoted "/>"
// and comments included); the tree is then written out again with only the
// allowed elements and attributes, within HtmlLimits.

#include <QString>
#include <string_view>

#include "controls/html_limits.h"

namespace velmora::online {

// The page as HTML that is safe to hand to QTextDocument::setHtml. Only the
// first limits.maxInputBytes of `page` (UTF-8; broken sequences become
// U+FFFD) are read. The document ends early, closing what is open, when it
// reaches limits.maxElements or limits.maxTextChars, or where the page was
// cut because the parser needed more memory or time than the limits give;
// a null string when even the last cut was too much.
QString sanitizeHtml(std::string_view page, const HtmlLimits& limits = {});

}  // namespace velmora::online
