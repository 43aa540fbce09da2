// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile pages through the view, one class each: what is shown (the text
// kept, the markup dropped, the limits applied); how fast is the
// benchmark's business. And the server's real list page, which must look
// exactly as it does without any bounding.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <functional>
#include <map>

#include "controls/html_limits.h"
#include "controls/htmlview.h"
#include "server/pages.h"
#include "tests/controls/hostile_pages.h"

namespace velmora::online {
namespace {

constexpr QChar kBreak(0x200B);

// The longest stretch of text with nowhere to break a line.
int longestRun(const QString& text) {
    int longest = 0;
    int run = 0;
    for (QChar c : text) {
        run = c.isSpace() || c == kBreak ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

std::vector<QTextTable*> tablesOf(QTextDocument& document) {
    std::vector<QTextTable*> tables;
    std::vector<QTextFrame*> frames{document.rootFrame()};
    while (!frames.empty()) {
        QTextFrame* frame = frames.back();
        frames.pop_back();
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            tables.push_back(table);
        }
        for (QTextFrame* child : frame->childFrames()) {
            frames.push_back(child);
        }
    }
    return tables;
}

int picturesIn(const QTextBlock& block) {
    int pictures = 0;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        pictures += it.fragment().charFormat().isImageFormat() ? it.fragment().length() : 0;
    }
    return pictures;
}

QTextCharFormat formatOf(QTextDocument& document, const QString& text) {
    QTextCursor found = document.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    return found.charFormat();
}

using Check = std::function<void(QTextDocument& document, const QString& text)>;

const HtmlLimits kLimits;

void noLongRuns(QTextDocument&, const QString& text) {
    EXPECT_LE(longestRun(text), kLimits.maxRunChars);
}

// Pages nested thousands deep are cut where the parser's time runs out, so
// only what precedes the nesting is sure to show.
void fewBlocks(QTextDocument& document, const QString& text) {
    EXPECT_FALSE(text.contains('<'));
    EXPECT_LE(document.blockCount(), kLimits.maxNesting + 2);
}

void fewTables(QTextDocument& document, const QString& text) {
    EXPECT_FALSE(text.contains('<'));
    EXPECT_LE(tablesOf(document).size(), size_t(kLimits.maxTableNesting));
}

const std::map<std::string, Check> kChecks = {
    {"long_word",
     [](QTextDocument& document, const QString& text) {
         noLongRuns(document, text);
         EXPECT_GT(text.count('w'), kLimits.maxTextChars / 2);
     }},
    {"pictures",
     [](QTextDocument& document, const QString&) {
         int pictures = 0;
         for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
             EXPECT_LE(picturesIn(block), kLimits.maxPicturesPerParagraph);
             pictures += picturesIn(block);
         }
         EXPECT_EQ(pictures, kLimits.maxPicturesPerParagraph);
     }},
    {"entities",
     [](QTextDocument& document, const QString& text) {
         noLongRuns(document, text);
         EXPECT_GT(text.count('A'), 10000);
         EXPECT_FALSE(text.contains('&'));
     }},
    {"style_rules",
     [](QTextDocument& document, const QString& text) {
         // The style sheet is longer than the part of the page that is read.
         EXPECT_FALSE(text.contains('{'));
         EXPECT_FALSE(text.contains("color"));
         EXPECT_EQ(formatOf(document, "start").foreground().color(), QColor(Qt::black));
     }},
    {"spaced_tags",
     [](QTextDocument&, const QString& text) { EXPECT_TRUE(text.contains("< div>< div>")); }},
    {"quoted_close",
     [](QTextDocument& document, const QString& text) {
         EXPECT_FALSE(text.contains("/>"));
         EXPECT_LE(document.blockCount(), kLimits.maxNesting + 2);
     }},
    {"entity_names",
     [](QTextDocument& document, const QString& text) {
         EXPECT_TRUE(text.contains("deep"));
         EXPECT_FALSE(text.contains("&#97;"));
         EXPECT_TRUE(tablesOf(document).empty());  // no such element as "t&#97;ble"
     }},
    {"comments",
     [](QTextDocument& document, const QString&) {
         EXPECT_EQ(formatOf(document, "bold").fontWeight(), QFont::Bold);
         EXPECT_TRUE(formatOf(document, "italic").fontItalic());
     }},
    {"tall_table",
     [](QTextDocument& document, const QString&) {
         auto tables = tablesOf(document);
         ASSERT_EQ(tables.size(), 1u);
         EXPECT_EQ(tables[0]->columns(), 3);
         EXPECT_LT(tables[0]->rows() * 4, kLimits.maxTableParts + 4);
     }},
    {"divs", fewBlocks},
    {"lists", fewBlocks},
    {"tables", fewTables},
    {"open_tables", fewTables},
    {"fonts", fewBlocks},
    {"wide_table",
     [](QTextDocument& document, const QString&) {
         auto tables = tablesOf(document);
         ASSERT_EQ(tables.size(), 1u);
         EXPECT_EQ(tables[0]->columns(), kLimits.maxColumns);
     }},
    {"spans",
     [](QTextDocument& document, const QString&) {
         auto tables = tablesOf(document);
         EXPECT_EQ(tables.size(), size_t(kLimits.maxTables));
         for (QTextTable* table : tables) {
             ASSERT_LE(table->columns(), kLimits.maxSpan);
             ASSERT_LE(table->rows(), kLimits.maxSpan);
         }
     }},
    {"formatting",
     [](QTextDocument&, const QString& text) { EXPECT_FALSE(text.contains('<')); }},
    {"marks", noLongRuns},
    {"small_tags",
     [](QTextDocument& document, const QString& text) {
         noLongRuns(document, text);
         EXPECT_LE(text.count('x'), kLimits.maxElements);
     }},
    {"broken", [](QTextDocument&, const QString&) {}},
};

class HostilePageTest : public ::testing::TestWithParam<testing::HostilePage> {};

TEST_P(HostilePageTest, ShowsItsStartWithMarkupDroppedAndLimitsApplied) {
    const testing::HostilePage& hostile = GetParam();
    THtmlView view;
    view.resize(481, 507);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.LoadFromString(hostile.page);
    view.viewport()->grab();
    QString text = view.toPlainText();
    EXPECT_TRUE(text.trimmed().startsWith(QString::fromStdString(hostile.shownText)))
        << text.left(80).toStdString();
    EXPECT_LE(text.size(), kLimits.maxTextChars * 2);
    ASSERT_TRUE(kChecks.contains(hostile.name));
    kChecks.at(hostile.name)(*view.document(), text);
}

INSTANTIATE_TEST_SUITE_P(EveryClass, HostilePageTest,
                         ::testing::ValuesIn(testing::hostilePages()),
                         [](const auto& info) { return info.param.name; });

std::vector<server::ScoreEntry> hundredEntries() {
    std::vector<server::ScoreEntry> entries;
    for (uint32_t i = 0; i < server::kListedScores; ++i) {
        std::string name = i % 7 == 3 ? "<b>&amp;\"x\"</b>" : "Player " + std::to_string(i);
        entries.push_back({name, "12/" + std::to_string(i % 28 + 1) + "/26", 100000 - i * 97});
    }
    return entries;
}

TEST(HtmlViewListPageTest, TheServersPageLooksExactlyAsWithoutBounding) {
    for (const auto& entries : {hundredEntries(), std::vector<server::ScoreEntry>{}}) {
        std::string page = server::scoreListPage(entries, 12345);
        THtmlView bounded;
        THtmlView whole;
        for (THtmlView* view : {&bounded, &whole}) {
            view->resize(481, 507);
            view->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        }
        bounded.LoadFromString(page);
        whole.setHtml(QString::fromStdString(page));
        EXPECT_EQ(bounded.toPlainText(), whole.toPlainText());
        EXPECT_EQ(bounded.document()->size(), whole.document()->size());
        for (int step = 0; step < 4; ++step) {
            EXPECT_EQ(bounded.viewport()->grab().toImage(), whole.viewport()->grab().toImage())
                << "entries " << entries.size() << ", scrolled " << step;
            for (THtmlView* view : {&bounded, &whole}) {
                view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() * (step + 1) / 3);
            }
        }
    }
}

}  // namespace
}  // namespace velmora::online
