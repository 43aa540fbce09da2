// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The elements and attributes of a page that reach the view: what a score
// page needs (headings, paragraphs, text styles, links, lists, tables,
// data: pictures, pre, center, rules) and nothing that makes Qt fetch,
// match style rules or lay out without bounds. Attribute values are checked
// and clamped one by one; anything unexpected is dropped.

#include <gumbo.h>

#include <QString>

namespace velmora::online {

struct HtmlLimits;

enum class ElementRule {
    keep,    // the element and its content
    unwrap,  // the content without the element
    remove,  // neither: scripts, style sheets, the head, foreign content
};

ElementRule ruleFor(const GumboNode& element);

// The element's name as written out; only for kept elements.
const char* keptName(GumboTag tag);

// A new paragraph for the engine, and a place where a line may break.
bool isBlock(GumboTag tag);
bool isVoid(GumboTag tag);

// The element's allowed attributes with valid values, each as
// ` name="value"`, escaped and ready to write inside the start tag.
QString allowedAttributes(const GumboElement& element, const HtmlLimits& limits);

// A picture's address, or a null string without one. Only the view's own
// resource loader reads it, and that shows data: addresses alone.
QString pictureSource(const GumboElement& element);

// `text` escaped for an attribute value or element content.
QString escapeHtml(QStringView text);

}  // namespace velmora::online
