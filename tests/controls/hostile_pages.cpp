// SPDX-License-Identifier: GPL-3.0-or-later
// The hostile pages: built in code rather than stored, since most are
// megabytes of one pattern.
#include "tests/controls/hostile_pages.h"

#include <algorithm>

namespace velmora::online::testing {

namespace {

std::string repeated(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

std::string nested(const std::string& open, const std::string& close, size_t depth) {
    return "<p>start</p>" + repeated(open, depth) + "deep" + repeated(close, depth);
}

// A 1 x 1 transparent PNG.
const char kTinyPng[] =
    "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkYPhf"
    "DwAChwGA60e6kgAAAABJRU5ErkJggg==";

std::string manyPictures(size_t count) {
    return "<p>start " + repeated(std::string("<img src=\"") + kTinyPng + "\">", count) + "</p>";
}

// One rule per class: every paragraph is matched against every rule.
std::string styleRules(size_t rules, size_t paragraphs) {
    std::string page = "<p>start</p><style>";
    for (size_t i = 0; i < rules; ++i) {
        page += ".c" + std::to_string(i) + "{color:#123456}";
    }
    page += "</style>";
    for (size_t i = 0; i < paragraphs; ++i) {
        page += "<p class=\"c" + std::to_string(i) + "\">p</p>";
    }
    return page;
}

std::string wideTable(size_t cells) {
    return "<p>start</p><table><tr>" + repeated("<td>c</td>", cells) + "</tr></table>";
}

std::string tallTable(size_t bytes) {
    std::string page = "<p>start</p><table border=1>";
    const std::string row = "<tr><td>1</td><td>name</td><td><a href=\"http://x/\">2</a></td></tr>\n";
    return page + repeated(row, bytes / row.size());
}

// Formatting elements that differ only in an attribute stay on the parser's
// list of active formatting elements, which it rebuilds before every text.
std::string distinctFormatting(size_t count) {
    std::string page = "<p>start</p>";
    for (size_t i = 0; i < count; ++i) {
        page += "<b id=" + std::to_string(i) + ">";
    }
    return page + repeated("<p>x</p>", count);
}

std::string combiningMarks(size_t marks) {
    return "<p>start a" + repeated("\xCC\x81", marks) + "</p>";  // U+0301
}

}  // namespace

std::vector<HostilePage> hostilePages(double scale) {
    auto n = [scale](double count) { return std::max<size_t>(1, static_cast<size_t>(count * scale)); };
    return {
        {"long_word", "<p>start</p><p>" + std::string(n(10e6), 'w') + "</p>", "start"},
        {"pictures", manyPictures(n(50000)), "start"},
        {"entities", "<p>start</p><p>" + repeated("&#x41;", n(2e6)) + "</p>", "start"},
        {"style_rules", styleRules(n(50000), n(20000)), "start"},
        {"spaced_tags", "<p>start</p>" + repeated("< div>", n(100000)), "start"},
        {"quoted_close", "<p>start</p>" + repeated("<div a=\"/>\">", n(100000)) + "x", "start"},
        {"entity_names", nested("<t&#97;ble border=1><tr><td>", "</td></tr></t&#97;ble>", 30),
         "start"},
        {"comments", "<p>start</p>" + repeated("<!-- -->", 100) + "<b>bold</b> <i>italic</i>",
         "start"},
        {"tall_table", tallTable(n(8e6)), "start"},
        {"divs", nested("<div>", "</div>", n(10000)), "start"},
        {"lists", nested("<ul><li>", "</li></ul>", n(10000)), "start"},
        {"tables", nested("<table><tr><td>", "</td></tr></table>", n(10000)), "start"},
        {"open_tables", nested("<table border=1><tr><td>", "", n(10000)), "start"},
        {"fonts", nested("<blockquote><font size=7>", "", n(10000)), "start"},
        {"wide_table", wideTable(n(20000)), "start"},
        {"spans",
         "<p>start</p>" +
             repeated("<table><tr><td colspan=\"99999999\" rowspan=\"99999999\">x</td></tr></table>",
                      n(5000)),
         "start"},
        {"formatting", distinctFormatting(n(20000)), "start"},
        {"marks", combiningMarks(n(200000)), "start"},
        {"small_tags", "<p>start</p>" + repeated("<b>x</b>", n(500000)), "start"},
        {"broken",
         "<p>start</p><<<>>><a href=<b><table><td><tr></table></td></tr><img src=x "
         "<p attr=\"unclosed>\xff\xfe text",
         "start"},
    };
}

}  // namespace velmora::online::testing
