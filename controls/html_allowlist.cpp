// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/html_allowlist.h"

#include <cstring>
#include <span>

#include "controls/html_limits.h"
#include "controls/html_values.h"

namespace velmora::online {

namespace {

constexpr int kMaxPicturePixels = 1024;  // a picture's width or height on the page
constexpr int kMaxBoxPixels = 2000;      // a table's or cell's width or height
constexpr qsizetype kMaxLinkChars = 2048;
constexpr size_t kMaxPictureAddressBytes = 4 * 1024 * 1024;

enum class Value { colour, length, pictureLength, border, spacing, span, align, verticalAlign,
                   fontSize, fontFace, listType, flag, link, style };

struct Allowed {
    const char* name;
    Value value;
};

using enum Value;
constexpr Allowed kBodyAttributes[] = {
    {"bgcolor", colour}, {"text", colour}, {"link", colour}, {"vlink", colour}};
constexpr Allowed kBlockAttributes[] = {{"align", align}, {"style", style}};
constexpr Allowed kFontAttributes[] = {
    {"color", colour}, {"size", fontSize}, {"face", fontFace}, {"style", style}};
constexpr Allowed kLinkAttributes[] = {{"href", link}, {"style", style}};
constexpr Allowed kPictureAttributes[] = {{"width", pictureLength}, {"height", pictureLength}};
constexpr Allowed kTableAttributes[] = {{"width", length},         {"border", border},
                                        {"cellspacing", spacing},  {"cellpadding", spacing},
                                        {"bgcolor", colour},       {"align", align}};
constexpr Allowed kRowAttributes[] = {
    {"bgcolor", colour}, {"align", align}, {"valign", verticalAlign}};
constexpr Allowed kCellAttributes[] = {
    {"width", length},   {"height", length},        {"bgcolor", colour},
    {"align", align},    {"valign", verticalAlign}, {"nowrap", flag},
    {"colspan", span},   {"rowspan", span},         {"style", style}};
constexpr Allowed kListAttributes[] = {{"type", listType}};
constexpr Allowed kRuleAttributes[] = {{"width", length}, {"align", align}};
constexpr Allowed kInlineAttributes[] = {{"style", style}};

std::span<const Allowed> attributesOf(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_BODY:
        return kBodyAttributes;
    case GUMBO_TAG_P: case GUMBO_TAG_DIV: case GUMBO_TAG_H1: case GUMBO_TAG_H2:
    case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5: case GUMBO_TAG_H6:
        return kBlockAttributes;
    case GUMBO_TAG_FONT:
        return kFontAttributes;
    case GUMBO_TAG_A:
        return kLinkAttributes;
    case GUMBO_TAG_IMG:
        return kPictureAttributes;
    case GUMBO_TAG_TABLE:
        return kTableAttributes;
    case GUMBO_TAG_TR:
        return kRowAttributes;
    case GUMBO_TAG_TD: case GUMBO_TAG_TH:
        return kCellAttributes;
    case GUMBO_TAG_UL: case GUMBO_TAG_OL:
        return kListAttributes;
    case GUMBO_TAG_HR:
        return kRuleAttributes;
    case GUMBO_TAG_BR: case GUMBO_TAG_PRE:
        return {};
    default:
        return kInlineAttributes;
    }
}

QString checkedValue(Value kind, QStringView value, const HtmlLimits& limits) {
    switch (kind) {
    case Value::colour: return colourValue(value);
    case Value::length: return lengthValue(value, kMaxBoxPixels);
    case Value::pictureLength: return lengthValue(value, kMaxPicturePixels);
    case Value::border: return countValue(value, 0, 8);
    case Value::spacing: return countValue(value, 0, 32);
    case Value::span: return countValue(value, 1, limits.maxSpan);
    case Value::align: return alignValue(value);
    case Value::verticalAlign: return verticalAlignValue(value);
    case Value::fontSize: return fontSizeValue(value);
    case Value::fontFace: return fontFaceValue(value);
    case Value::listType: return listTypeValue(value);
    case Value::flag: return QString("");
    case Value::link: return value.size() <= kMaxLinkChars ? value.toString() : QString();
    case Value::style: return plainStyle(value);
    }
    return {};
}

bool isForeign(const GumboNode& element) {
    return element.type == GUMBO_NODE_TEMPLATE ||
           element.v.element.tag_namespace != GUMBO_NAMESPACE_HTML;
}

}  // namespace

ElementRule ruleFor(const GumboNode& element) {
    if (isForeign(element)) {
        return ElementRule::remove;
    }
    switch (element.v.element.tag) {
    case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE:
    case GUMBO_TAG_NOSCRIPT: case GUMBO_TAG_IFRAME: case GUMBO_TAG_OBJECT: case GUMBO_TAG_EMBED:
    case GUMBO_TAG_APPLET: case GUMBO_TAG_AUDIO: case GUMBO_TAG_VIDEO: case GUMBO_TAG_CANVAS:
    case GUMBO_TAG_CAPTION: case GUMBO_TAG_COLGROUP: case GUMBO_TAG_COL: case GUMBO_TAG_SELECT:
    case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_NOFRAMES: case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_FRAMESET: case GUMBO_TAG_LINK: case GUMBO_TAG_META: case GUMBO_TAG_BASE:
    case GUMBO_TAG_INPUT: case GUMBO_TAG_BUTTON:
        return ElementRule::remove;
    default:
        return keptName(element.v.element.tag) != nullptr ? ElementRule::keep : ElementRule::unwrap;
    }
}

const char* keptName(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_B: case GUMBO_TAG_STRONG: case GUMBO_TAG_I: case GUMBO_TAG_EM:
    case GUMBO_TAG_U: case GUMBO_TAG_S: case GUMBO_TAG_STRIKE: case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP: case GUMBO_TAG_SMALL: case GUMBO_TAG_BIG: case GUMBO_TAG_TT:
    case GUMBO_TAG_CODE: case GUMBO_TAG_FONT: case GUMBO_TAG_SPAN: case GUMBO_TAG_A:
    case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4:
    case GUMBO_TAG_H5: case GUMBO_TAG_H6: case GUMBO_TAG_P: case GUMBO_TAG_DIV:
    case GUMBO_TAG_BR: case GUMBO_TAG_HR: case GUMBO_TAG_CENTER: case GUMBO_TAG_PRE:
    case GUMBO_TAG_UL: case GUMBO_TAG_OL: case GUMBO_TAG_LI: case GUMBO_TAG_DL:
    case GUMBO_TAG_DT: case GUMBO_TAG_DD: case GUMBO_TAG_TABLE: case GUMBO_TAG_TR:
    case GUMBO_TAG_TD: case GUMBO_TAG_TH: case GUMBO_TAG_IMG:
        return gumbo_normalized_tagname(tag);
    default:
        return nullptr;
    }
}

bool isBlock(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_BODY: case GUMBO_TAG_P: case GUMBO_TAG_DIV: case GUMBO_TAG_H1:
    case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
    case GUMBO_TAG_H6: case GUMBO_TAG_HR: case GUMBO_TAG_CENTER: case GUMBO_TAG_PRE:
    case GUMBO_TAG_UL: case GUMBO_TAG_OL: case GUMBO_TAG_LI: case GUMBO_TAG_DL:
    case GUMBO_TAG_DT: case GUMBO_TAG_DD: case GUMBO_TAG_TABLE: case GUMBO_TAG_TR:
    case GUMBO_TAG_TD: case GUMBO_TAG_TH:
        return true;
    default:
        return false;
    }
}

bool isVoid(GumboTag tag) {
    return tag == GUMBO_TAG_BR || tag == GUMBO_TAG_HR || tag == GUMBO_TAG_IMG;
}

QString allowedAttributes(const GumboElement& element, const HtmlLimits& limits) {
    QString out;
    for (const Allowed& allowed : attributesOf(element.tag)) {
        const GumboAttribute* attribute =
            gumbo_get_attribute(&element.attributes, allowed.name);
        if (attribute == nullptr) {
            continue;
        }
        QString value = checkedValue(allowed.value, QString::fromUtf8(attribute->value), limits);
        if (value.isNull()) {
            continue;
        }
        out += QLatin1Char(' ');
        out += QLatin1String(allowed.name);
        if (allowed.value != Value::flag) {
            out += "=\"" + escapeHtml(value) + '"';
        }
    }
    return out;
}

QString pictureSource(const GumboElement& element) {
    const GumboAttribute* source = gumbo_get_attribute(&element.attributes, "src");
    if (source == nullptr || std::strlen(source->value) > kMaxPictureAddressBytes) {
        return {};
    }
    return QString::fromUtf8(source->value).trimmed();
}

QString escapeHtml(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace velmora::online
