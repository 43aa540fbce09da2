// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/html_sanitizer.h"

#include <gumbo.h>

#include <vector>

#include "controls/bounded_parse.h"
#include "controls/html_allowlist.h"

namespace velmora::online {

namespace {

constexpr QChar kBreakOpportunity(0x200B);  // zero-width space

// The start of `page` cut to at most `bytes`, not inside a UTF-8 sequence
// and not inside a tag: a page that ends in "<" or "</" shows them as text.
std::string_view cutPage(std::string_view page, size_t bytes) {
    if (page.size() <= bytes) {
        return page;
    }
    size_t end = bytes;
    while (end > 0 && bytes - end < 3 && (static_cast<unsigned char>(page[end]) & 0xC0) == 0x80) {
        --end;
    }
    std::string_view kept = page.substr(0, end);
    size_t open = kept.rfind('<');
    if (open != std::string_view::npos && kept.find('>', open) == std::string_view::npos) {
        kept = kept.substr(0, open);
    }
    return kept;
}

const GumboNode* bodyOf(const GumboOutput& output) {
    const GumboVector& children = output.root->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY) {
            return child;
        }
    }
    return nullptr;
}

// Writes the kept part of a body, walking the tree with a stack of its own:
// the tree is as deep as the page makes it.
class PageWriter {
  public:
    explicit PageWriter(const HtmlLimits& limits) : limits_(limits) {}

    QString write(const GumboNode* body) {
        out_ = "<html><body" + allowedAttributes(body->v.element, limits_) + '>';
        push(body, nullptr);
        while (!frames_.empty()) {
            Frame& top = frames_.back();
            const GumboVector& children = top.node->v.element.children;
            if (stopped_ || top.next >= children.length) {
                pop();
            } else {
                visit(*static_cast<const GumboNode*>(children.data[top.next++]));
            }
        }
        out_ += "</body></html>";
        return out_;
    }

  private:
    // What an open element changed, undone when it closes.
    struct Frame {
        const GumboNode* node;
        unsigned next = 0;
        const char* closeTag = nullptr;  // null for an element not written
        bool nests = false;
        bool table = false;
        bool droppedTable = false;
        bool row = false;
        int outerRowCells = 0;
    };

    void visit(const GumboNode& node) {
        switch (node.type) {
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_WHITESPACE:
            keepLeadingNewline(node);
            writeText(node.v.text.text);
            break;
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            visitElement(node);
            break;
        default:  // comments and the document itself show nothing
            break;
        }
    }

    // A newline right after <pre> is dropped by every reader, the engine
    // included; one that was left must be written twice to survive.
    void keepLeadingNewline(const GumboNode& text) {
        const Frame& parent = frames_.back();
        if (parent.closeTag != nullptr && parent.node->v.element.tag == GUMBO_TAG_PRE &&
            text.index_within_parent == 0 && text.v.text.text[0] == '\n') {
            out_ += QLatin1Char('\n');
        }
    }

    void visitElement(const GumboNode& node) {
        ElementRule rule = ruleFor(node);
        if (rule == ElementRule::remove) {
            return;
        }
        GumboTag tag = node.v.element.tag;
        if (rule == ElementRule::unwrap) {
            push(&node, nullptr);
            return;
        }
        switch (tag) {
        case GUMBO_TAG_TABLE: return visitTable(node);
        case GUMBO_TAG_TR: return visitRow(node);
        case GUMBO_TAG_TD: case GUMBO_TAG_TH: return visitCell(node);
        case GUMBO_TAG_IMG: return visitPicture(node);
        default:
            if (depth_ >= limits_.maxNesting) {
                push(&node, nullptr);
            } else {
                writeElement(node);
            }
        }
    }

    void visitTable(const GumboNode& node) {
        // The table, its row and its cell must all fit under the nesting limit.
        if (droppedTables_ > 0 || tables_ >= limits_.maxTableNesting ||
            allTables_ >= limits_.maxTables || depth_ + 3 > limits_.maxNesting) {
            push(&node, nullptr).droppedTable = true;
            ++droppedTables_;
        } else if (writeElement(node)) {
            frames_.back().table = true;
            ++tables_;
            ++allTables_;
        }
    }

    void visitRow(const GumboNode& node) {
        if (droppedTables_ > 0) {
            push(&node, nullptr);
        } else if (tableParts_ < limits_.maxTableParts && writeElement(node)) {
            ++tableParts_;
            Frame& row = frames_.back();
            row.row = true;
            row.outerRowCells = rowCells_;
            rowCells_ = 0;
        }
    }

    void visitCell(const GumboNode& node) {
        if (droppedTables_ > 0) {
            push(&node, nullptr);
        } else if (tableParts_ < limits_.maxTableParts && rowCells_ < limits_.maxColumns &&
                   writeElement(node)) {
            ++tableParts_;
            ++rowCells_;
        }
    }

    void visitPicture(const GumboNode& node) {
        QString source = pictureSource(node.v.element);
        if (source.isNull() || pictures_ >= limits_.maxPictures ||
            picturesInParagraph_ >= limits_.maxPicturesPerParagraph || !countElement()) {
            return;
        }
        ++pictures_;
        ++picturesInParagraph_;
        out_ += "<img src=\"" + escapeHtml(source) + '"' +
                allowedAttributes(node.v.element, limits_) + '>';
    }

    // Writes the start tag and opens the element; false once the page has
    // as many elements as it may.
    bool writeElement(const GumboNode& node) {
        if (!countElement()) {
            return false;
        }
        GumboTag tag = node.v.element.tag;
        const char* name = keptName(tag);
        out_ += QLatin1Char('<');
        out_ += QLatin1String(name);
        out_ += allowedAttributes(node.v.element, limits_);
        out_ += QLatin1Char('>');
        if (isBlock(tag) || tag == GUMBO_TAG_BR) {
            startParagraph(tag);
        }
        if (!isVoid(tag)) {
            push(&node, name).nests = true;
            ++depth_;
        }
        return true;
    }

    bool countElement() {
        if (elements_ >= limits_.maxElements) {
            stopped_ = true;
            return false;
        }
        ++elements_;
        return true;
    }

    void startParagraph(GumboTag tag) {
        run_ = 0;
        if (tag != GUMBO_TAG_BR) {  // a line break stays in its paragraph
            picturesInParagraph_ = 0;
        }
    }

    Frame& push(const GumboNode* node, const char* closeTag) {
        frames_.push_back(Frame{node, 0, closeTag});
        return frames_.back();
    }

    void pop() {
        const Frame& frame = frames_.back();
        if (frame.closeTag != nullptr) {
            out_ += QLatin1String("</");
            out_ += QLatin1String(frame.closeTag);
            out_ += QLatin1Char('>');
            if (isBlock(frame.node->v.element.tag)) {
                startParagraph(frame.node->v.element.tag);
            }
        }
        depth_ -= frame.nests ? 1 : 0;
        tables_ -= frame.table ? 1 : 0;
        droppedTables_ -= frame.droppedTable ? 1 : 0;
        if (frame.row) {
            rowCells_ = frame.outerRowCells;
        }
        frames_.pop_back();
    }

    // The text escaped, with a place to break at least every maxRunChars
    // characters (the engine's line breaking is quadratic in a run without)
    // and at most maxMarks combining marks on a character (each makes the
    // engine's shaping of the paragraph dearer).
    void writeText(const char* utf8) {
        QString text = QString::fromUtf8(utf8);
        out_.reserve(out_.size() + text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (textChars_ >= limits_.maxTextChars) {
                stopped_ = true;
                return;
            }
            QChar c = text[i];
            bool pair = c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
            marks_ = c.isMark() ? marks_ + 1 : 0;
            if (marks_ > limits_.maxMarks) {
                continue;
            }
            if (c.isSpace()) {
                run_ = 0;
            } else if (++run_ > limits_.maxRunChars) {
                out_ += kBreakOpportunity;
                run_ = 1;
            }
            ++textChars_;
            switch (c.unicode()) {
            case '&': out_ += QLatin1String("&amp;"); break;
            case '<': out_ += QLatin1String("&lt;"); break;
            case '>': out_ += QLatin1String("&gt;"); break;
            default:
                out_ += c;
                if (pair) {
                    out_ += text[++i];
                }
            }
        }
    }

    const HtmlLimits& limits_;
    QString out_;
    std::vector<Frame> frames_;
    bool stopped_ = false;
    int elements_ = 0;
    int textChars_ = 0;
    int depth_ = 0;
    int tables_ = 0;  // open
    int allTables_ = 0;
    int droppedTables_ = 0;
    int tableParts_ = 0;
    int rowCells_ = 0;
    int pictures_ = 0;
    int picturesInParagraph_ = 0;
    int run_ = 0;    // characters since the last place a line may break
    int marks_ = 0;  // combining marks in a row
};

}  // namespace

QString sanitizeHtml(std::string_view page, const HtmlLimits& limits) {
    std::string_view input = cutPage(page, limits.maxInputBytes);
    for (int parse = 0; parse < limits.maxParses; ++parse) {
        BoundedParse parser(limits.maxParseBytes,
                            parse == 0 ? limits.firstParseTime : limits.laterParseTime);
        if (const GumboOutput* output = parser.parse(input)) {
            const GumboNode* body = bodyOf(*output);
            if (body == nullptr) {  // a frameset page has nothing to show
                return QString("<html><body></body></html>");
            }
            return PageWriter(limits).write(body);
        }
        // The parser's costs grow with the square of the page at worst.
        input = cutPage(input, input.size() / 8);
    }
    return {};
}

}  // namespace velmora::online
