// SPDX-License-Identifier: GPL-3.0-or-later
// The page as the view's engine gets it: read as a browser would, only
// allowed elements and attributes written out, every limit applied.

#include "controls/html_sanitizer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace velmora::online {
namespace {

constexpr char16_t kBreak = 0x200B;

// The sanitized body, without the wrapper every page gets.
QString bodyOf(const std::string& page, const HtmlLimits& limits = {}) {
    QString out = sanitizeHtml(page, limits);
    EXPECT_TRUE(out.startsWith("<html><body")) << out.toStdString();
    EXPECT_TRUE(out.endsWith("</body></html>")) << out.toStdString();
    return out.mid(out.indexOf('>', 11) + 1).chopped(14);
}

std::string times(const std::string& text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += text;
    }
    return out;
}

struct Case {
    const char* what;
    std::string page;
    QString body;
};

TEST(HtmlSanitizerTest, WritesWhatABrowserWouldReadWithOnlyAllowedElementsAndAttributes) {
    const Case cases[] = {
        {"ordinary markup stays",
         "<h2 align=center>Title</h2><p>one<br>two</p><ul><li>a<li>b</ul><b>B</b><i>I</i><u>U</u>"
         "<font color=\"#ff0000\" size=\"+1\" face=\"Arial\">f</font><center>c</center><hr><pre> x  y</pre>",
         "<h2 align=\"center\">Title</h2><p>one<br>two</p><ul><li>a</li><li>b</li></ul><b>B</b>"
         "<i>I</i><u>U</u><font color=\"#ff0000\" size=\"+1\" face=\"Arial\">f</font>"
         "<center>c</center><hr><pre> x  y</pre>"},
        {"a newline that starts pre text stays", "<pre>\n\nx</pre><pre>\ny</pre>",
         "<pre>\n\nx</pre><pre>y</pre>"},
        {"implied table parts are left to the engine",
         "<table border=1 cellpadding=4 width=100%><tr bgcolor=\"#D6D2AE\"><td nowrap align=right>1"
         "<td>Ann &amp; Co</table>",
         "<table width=\"100%\" border=\"1\" cellpadding=\"4\"><tr bgcolor=\"#D6D2AE\">"
         "<td align=\"right\" nowrap>1</td><td>Ann &amp; Co</td></tr></table>"},
        {"a lone < is text", "<p>3 < 4 &lt; 5</p>", "<p>3 &lt; 4 &lt; 5</p>"},
        {"a space after < makes text", "< div>x", "&lt; div&gt;x"},
        {"a quoted /> does not close the tag", "<div a=\"/>\">x</div>y", "<div>x</div>y"},
        {"entities in a tag name do not make it that tag",
         "<t&#97;ble><tr><td>x</td></tr></t&#97;ble>", "x"},
        {"comments show nothing", "<!-- a --><b><!-- <i> -->b</b>", "<b>b</b>"},
        {"unknown elements keep their text", "<article><blink>x</blink></article>", "x"},
        {"scripts, style sheets and forms go with their content",
         "<style>p{color:red}</style><script>alert(1)</script><select><option>o</select>"
         "<textarea>t</textarea>k",
         "k"},
        {"the head shows nothing", "<head><title>T</title><link rel=stylesheet href=x></head>b",
         "b"},
        {"links keep only their target", "<a href=\"a &quot;b&quot;\" target=_blank onclick=x>l</a>",
         "<a href=\"a &quot;b&quot;\">l</a>"},
        {"style keeps a few plain properties",
         "<p style=\"color: red; position: fixed; font-size: 12px; background-image: url(x)\">p</p>"
         "<span style=\"font-size: 400px; behavior: x\">s</span>",
         "<p style=\"color: red; font-size: 12px\">p</p><span>s</span>"},
        {"attribute values are checked and clamped",
         "<table width=99999 border=50 cellspacing=x><tr><td colspan=\"99999999999999999999\" "
         "rowspan=0 bgcolor=\"red;x\" valign=top>c</table>",
         "<table width=\"2000\" border=\"8\"><tr><td valign=\"top\" colspan=\"16\" rowspan=\"1\">"
         "c</td></tr></table>"},
        {"pictures keep their size within bounds",
         "<img src=\" data:image/png;base64,AAAA \" width=5000 height=50% alt=x>",
         "<img src=\"data:image/png;base64,AAAA\" width=\"1024\" height=\"50%\">"},
        {"foreign content goes", "<svg><text>s</text></svg><math><mi>m</mi></math>x", "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bodyOf(c.page), c.body) << c.what;
    }
}

TEST(HtmlSanitizerTest, BodyColoursPassAndBrokenUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(sanitizeHtml("<body bgcolor=\"#E6E3C4\" text=black onload=x background=a.png>\xff"),
              QString("<html><body bgcolor=\"#E6E3C4\" text=\"black\">\uFFFD</body></html>"));
    EXPECT_EQ(sanitizeHtml(""), "<html><body></body></html>");
    EXPECT_EQ(sanitizeHtml("<frameset><frame src=x></frameset>"), "<html><body></body></html>");
}

TEST(HtmlSanitizerTest, LimitsCutNestingTablesCellsPicturesTextAndInput) {
    HtmlLimits small;
    small.maxNesting = 3;
    small.maxTableNesting = 1;
    const Case cases[] = {
        {"nesting", "<div><div><div><div>x</div></div></div></div>",
         "<div><div><div>x</div></div></div>"},
        {"comments are no nesting", times("<!-- -->", 200) + "<b><i>x</i></b>", "<b><i>x</i></b>"},
        {"a table that would not fit loses its markup, not its text",
         "<b><i><table><tr><td>x</td></tr></table></i></b>", "<b><i>x</i></b>"},
        {"tables in tables", "<table><tr><td><table><tr><td>x</td><td>y</td></tr></table></td></tr></table>",
         "<table><tr><td>xy</td></tr></table>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bodyOf(c.page, small), c.body) << c.what;
    }

    HtmlLimits tight;
    tight.maxTableParts = 5;
    tight.maxColumns = 2;
    EXPECT_EQ(bodyOf("<table><tr><td>a<td>b<td>c<tr><td>d<tr><td>e</table>", tight),
              "<table><tr><td>a</td><td>b</td></tr><tr><td>d</td></tr></table>");

    HtmlLimits oneTable;
    oneTable.maxTables = 1;
    EXPECT_EQ(bodyOf("<table><tr><td>a</table><table><tr><td>b</table>", oneTable),
              "<table><tr><td>a</td></tr></table>b");

    tight.maxPicturesPerParagraph = 2;
    tight.maxPictures = 3;
    EXPECT_EQ(bodyOf("<p><img src=a><img src=b><img src=c></p><p><img src=d><img src=e></p>", tight),
              "<p><img src=\"a\"><img src=\"b\"></p><p><img src=\"d\"></p>");

    tight.maxElements = 3;
    EXPECT_EQ(bodyOf("<b>1</b><i>2</i><u>3</u><s>4</s>5", tight), "<b>1</b><i>2</i><u>3</u>");

    tight.maxTextChars = 5;
    EXPECT_EQ(bodyOf("<b>123</b>456789", tight), "<b>123</b>45");

    tight.maxInputBytes = 5;
    EXPECT_EQ(bodyOf("ab\xC3\xA9\xC3\xA9", tight), QString::fromUtf8("ab\xC3\xA9"));
    // A cut never leaves the start of a tag to be shown as text.
    tight.maxInputBytes = 4;
    EXPECT_EQ(bodyOf("ab</b>", tight), "ab");
    EXPECT_EQ(bodyOf("abc<b>", tight), "abc");
    EXPECT_EQ(bodyOf("a<b>c", tight), "a<b></b>");
}

TEST(HtmlSanitizerTest, ARunWithoutABreakGetsOneEveryFewDozenCharactersAndMarksAreFew) {
    HtmlLimits limits;
    limits.maxRunChars = 4;
    EXPECT_EQ(bodyOf("abcdefghij", limits), QString("abcd%1efgh%1ij").arg(QChar(kBreak)));
    EXPECT_EQ(bodyOf("ab<b>cd</b>ef gh", limits), QString("ab<b>cd</b>%1ef gh").arg(QChar(kBreak)));
    EXPECT_EQ(bodyOf("abc<p>def</p>", limits), "abc<p>def</p>");
    // A character outside the first plane is one character, never split.
    EXPECT_EQ(bodyOf("abcd\xF0\x9F\x8F\x86", limits),
              QString("abcd%1").arg(QChar(kBreak)) + QString::fromUtf8("\xF0\x9F\x8F\x86"));
    EXPECT_EQ(bodyOf("<pre>" + std::string(100, 'x') + "</pre>").count(QChar(kBreak)), 2);
    // Combining marks past a few on one character go.
    EXPECT_EQ(bodyOf("e" + times("\xCC\x81", 20) + "e\xCC\x81"),
              "e" + QString(8, QChar(0x301)) + "e" + QChar(0x301));
}

TEST(HtmlSanitizerTest, APageTheParserCannotFinishInItsBudgetIsCutOrRefused) {
    std::string page = "<p>start</p>" + times("<b>bold</b> ", 4000);
    HtmlLimits limits;
    // Time enough, however slow the build: the whole page.
    limits.firstParseTime = std::chrono::seconds(10);
    EXPECT_EQ(bodyOf(page, limits).count("<b>"), 4000);

    // No time for the whole page: an eighth of it is read again.
    limits.firstParseTime = std::chrono::milliseconds(0);
    limits.laterParseTime = std::chrono::seconds(10);
    QString cut = bodyOf(page, limits);
    EXPECT_TRUE(cut.startsWith("<p>start</p>"));
    EXPECT_NEAR(cut.count("<b>"), 4000 / 8, 2);

    // Not even the parser's first blocks fit: nothing is shown.
    limits.maxParseBytes = 100;
    EXPECT_TRUE(sanitizeHtml(page, limits).isNull());
}

}  // namespace
}  // namespace velmora::online
