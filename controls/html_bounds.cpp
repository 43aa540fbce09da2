// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/html_bounds.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace velmora::online {

namespace {

// Void elements, and those whose end tag pages often leave out: counting
// them as nesting would cut down ordinary tables and lists.
bool isFlat(const QString& name) {
    static const QSet<QString> flat = {
        "area",  "base",  "br",    "col",  "colgroup", "dd",     "dt",    "embed", "hr",
        "img",   "input", "li",    "link", "meta",     "option", "p",     "param", "source",
        "tbody", "td",    "tfoot", "th",   "thead",    "tr",     "track", "wbr",   "!doctype"};
    return flat.contains(name);
}

bool isTablePart(const QString& name) {
    static const QSet<QString> parts = {"caption", "col", "colgroup", "tbody", "td",
                                        "tfoot",   "th",  "thead",    "tr"};
    return parts.contains(name);
}

// The cell's tag with its colspan and rowspan at most `maxSpan`.
QString boundedCell(const QString& tag, int maxSpan) {
    static const QRegularExpression span(R"((colspan|rowspan)(\s*=\s*["']?\s*)(\d+))",
                                         QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype done = 0;
    for (auto it = span.globalMatch(tag); it.hasNext();) {
        QRegularExpressionMatch match = it.next();
        bool small = match.capturedLength(3) <= 6 && match.captured(3).toInt() <= maxSpan;
        out += tag.mid(done, match.capturedStart(3) - done);
        out += small ? match.captured(3) : QString::number(maxSpan);
        done = match.capturedEnd(3);
    }
    out += tag.mid(done);
    return out;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == '!' || c == '-' || c == ':';
}

}  // namespace

QString boundHtml(const QString& page, const HtmlBounds& bounds) {
    QString input = page.left(bounds.maxChars);
    QString out;
    out.reserve(input.size());
    int tags = 0;
    int depth = 0;
    int dropped = 0;        // start tags left out and not yet closed
    int tables = 0;         // tables open and shown
    int droppedTables = 0;  // tables open inside one too deep
    qsizetype i = 0;
    while (i < input.size()) {
        qsizetype open = input.indexOf('<', i);
        if (open < 0) {
            out += QStringView(input).mid(i);
            break;
        }
        out += QStringView(input).mid(i, open - i);
        bool closing = open + 1 < input.size() && input[open + 1] == '/';
        qsizetype nameStart = open + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        while (nameEnd < input.size() && isNameChar(input[nameEnd])) {
            ++nameEnd;
        }
        if (nameEnd == nameStart) {  // a lone "<" is text
            out += '<';
            i = open + 1;
            continue;
        }
        qsizetype close = input.indexOf('>', nameEnd);
        qsizetype end = close < 0 ? input.size() : close + 1;
        if (++tags > bounds.maxTags) {
            break;
        }
        QString name = input.mid(nameStart, nameEnd - nameStart).toLower();
        bool selfClosed = close > 0 && input[close - 1] == '/';
        bool keep = true;
        if (name == "table") {
            int& count = droppedTables > 0 || (!closing && tables >= bounds.maxTableNesting)
                             ? droppedTables
                             : tables;
            keep = &count == &tables;
            count = closing ? std::max(count - 1, 0) : count + 1;
        } else if (droppedTables > 0 && isTablePart(name)) {
            keep = false;
        } else if (!isFlat(name) && !selfClosed) {
            if (closing) {
                if (dropped > 0) {
                    --dropped;
                    keep = false;
                } else if (depth > 0) {
                    --depth;
                }
            } else if (depth >= bounds.maxNesting) {
                ++dropped;
                keep = false;
            } else {
                ++depth;
            }
        }
        if (keep && !closing && (name == "td" || name == "th")) {
            out += boundedCell(input.mid(open, end - open), bounds.maxSpan);
        } else if (keep) {
            out += QStringView(input).mid(open, end - open);
        }
        i = end;
    }
    return out;
}

}  // namespace velmora::online
