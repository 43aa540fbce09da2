// SPDX-License-Identifier: GPL-3.0-or-later
// The HTML view offscreen: its default look, link clicks and the visited
// colour, the focus border, pictures from data: addresses only, and hostile
// pages shown within bounds.

#include "controls/htmlview.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <functional>

#include "controls/html_pictures.h"
#include "tests/platform/temp_folder.h"

namespace velmora::online {
namespace {

const QColor kRed(255, 0, 0);
const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);
const QColor kPale(230, 227, 196);

QString dataAddress(const QImage& picture, const char* format, const char* type) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return QString("data:image/%1;base64,%2").arg(type, QString::fromLatin1(bytes.toBase64()));
}

// 40 x 40 red; Qt reads GIF but cannot write it.
const QString kRedGif =
    "data:image/"
    "gif;base64,R0lGODlhKAAoAPAAAP8AAAAAACH5BAAAAAAALAAAAAAoACgAAAInhI+py+0Po5y02ouz3rz7D4biSJbm"
    "iabqyrbuC8fyTNf2jef6ziMFADs=";

QImage redSquare(int width = 40, int height = 40) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(kRed);
    return picture;
}

int countColour(const QImage& image, const QColor& colour, int tolerance = 0) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance &&
                std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

class HtmlViewTest : public ::testing::Test {
  protected:
    THtmlView& open(const std::string& page) {
        view_.resize(481, 300);
        view_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view_));
        view_.LoadFromString(page);
        return view_;
    }

    QImage shown() { return view_.viewport()->grab().toImage(); }

    // The viewport point in the middle of the first character of `text`.
    QPoint pointOf(const QString& text) {
        QTextCursor found = view_.document()->find(text);
        EXPECT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor at(view_.document());
        at.setPosition(found.selectionStart() + 1);
        QRect caret = view_.cursorRect(at);
        return {caret.left() - 3, caret.center().y()};
    }

    void click(const QString& text) {
        QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, pointOf(text));
    }

    // Colour of the first character of `text` as the document formats it.
    QColor colourOf(const QString& text) {
        QTextCursor found = view_.document()->find(text);
        QTextCursor at(view_.document());
        at.setPosition(found.selectionStart() + 1);
        return at.charFormat().foreground().color();
    }

    THtmlView view_;
};

TEST_F(HtmlViewTest, ShowsAPageInTheDefaultLookWithAVerticalScrollBarOnly) {
    std::string longWord(3000, 'w');
    THtmlView& view =
        open("<p><a href=\"http://a/\">AAAA</a></p><p>plain words</p><pre>fixed text</pre><p>" +
             longWord + "</p>");
    EXPECT_EQ(view.document()->defaultFont().family(), "Times New Roman");
    QTextCursor pre = view.document()->find("fixed text");
    EXPECT_TRUE(pre.charFormat().fontFamilies().toStringList().contains("Arial"))
        << pre.charFormat().fontFamilies().toStringList().join(",").toStdString();
    EXPECT_EQ(colourOf("AAAA"), kTeal);

    QImage picture = shown();
    EXPECT_EQ(picture.pixelColor(picture.width() - 4, 4), kPale);
    EXPECT_GT(countColour(picture, Qt::black, 60), 20);  // the text
    EXPECT_GT(countColour(picture, kTeal, 30), 5);       // the link

    // A word far wider than the view wraps; there is never a sideways bar.
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_LE(view.document()->size().width(), view.viewport()->width() + 1);
    EXPECT_TRUE(view.verticalScrollBar()->maximum() > 0);
    // The text can be selected; nothing is ever navigated to.
    EXPECT_TRUE(view.textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_FALSE(view.openLinks());
    EXPECT_FALSE(view.openExternalLinks());
}

TEST_F(HtmlViewTest, AClickReportsTheTargetAsWrittenBeforeTheLinkTurnsGreyAndTealUnderTheMouse) {
    THtmlView& view = open(
        "<p><a href=\"HTTP://Example.com/a b?x=1&amp;y=2\">First</a> and "
        "<a href=\"page two.html\">Second</a> and <a href=\"http://other/\">Third</a></p>");
    std::vector<QString> reported;
    std::vector<QColor> colourWhenReported;
    view.OnHotSpotClick = [&](THtmlView& sender, const QString& src, bool& handled) {
        EXPECT_EQ(&sender, &view);
        EXPECT_FALSE(handled);
        reported.push_back(src);
        colourWhenReported.push_back(colourOf("First"));
    };
    click("First");
    click("Second");
    ASSERT_EQ(reported, (std::vector<QString>{"HTTP://Example.com/a b?x=1&y=2", "page two.html"}));
    EXPECT_EQ(colourWhenReported[0], kTeal);  // reported first, marked visited after
    EXPECT_EQ(colourOf("First"), kGrey);
    EXPECT_EQ(colourOf("Second"), kGrey);
    EXPECT_EQ(colourOf("Third"), kTeal);
    EXPECT_TRUE(view.isVisited("page two.html"));

    // Under the mouse a visited link is teal again, until the mouse moves on.
    QTest::mouseMove(view.viewport(), pointOf("First"));
    EXPECT_EQ(colourOf("First"), kTeal);
    EXPECT_EQ(colourOf("Second"), kGrey);
    QTest::mouseMove(view.viewport(), pointOf("Third"));
    EXPECT_EQ(colourOf("First"), kGrey);
    EXPECT_EQ(colourOf("Third"), kTeal);

    // A link chosen with the keyboard is reported the same way.
    view.setFocus();
    view.moveCursor(QTextCursor::Start);
    QTest::keyClick(&view, Qt::Key_Tab);
    QTest::keyClick(&view, Qt::Key_Return);
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[2], "HTTP://Example.com/a b?x=1&y=2");

    // Visited stays visited for the rest of the run, in a new page too.
    view.LoadFromString("<p><a href=\"page two.html\">Again</a> <a href=\"new\">Fresh</a></p>");
    EXPECT_EQ(colourOf("Again"), kGrey);
    EXPECT_EQ(colourOf("Fresh"), kTeal);
    EXPECT_EQ(view.document()->find("First").isNull(), true);  // the old page is gone
}

TEST_F(HtmlViewTest, TheBorderShowsWhileTheViewHasTheFocus) {
    THtmlView& view = open("<p>text</p>");
    auto corner = [&] { return view.grab().toImage().pixelColor(0, view.height() / 2); };
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&view, &out);
    EXPECT_FALSE(view.showsBorder());
    EXPECT_EQ(corner(), kPale);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&view, &in);
    EXPECT_TRUE(view.showsBorder());
    EXPECT_EQ(corner(), QColor(Qt::black));
    QApplication::sendEvent(&view, &out);
    EXPECT_EQ(corner(), kPale);
}

TEST_F(HtmlViewTest, PicturesComeOnlyFromDataAddressesWithinBoundsAndNothingElseIsRead) {
    // The four formats a page may embed.
    const QString embedded[] = {dataAddress(redSquare(), "PNG", "png"), kRedGif,
                                dataAddress(redSquare(), "JPEG", "jpeg"),
                                dataAddress(redSquare(), "BMP", "bmp")};
    for (const QString& source : embedded) {
        open(("<p><img src=\"" + source + "\"></p>").toStdString());
        EXPECT_GT(countColour(shown(), kRed, 40), 1000) << source.left(20).toStdString();
    }
    // What a page with nothing where the picture is looks like.
    QImage clear(40, 40, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    auto withPicture = [](const QString& source) {
        return ("<p>before<img src=\"" + source + "\" width=\"40\" height=\"40\">after</p>")
            .toStdString();
    };
    open(withPicture(dataAddress(clear, "PNG", "png")));
    const QImage nothing = shown();

    testing::TempFolder temp;
    QString file = QString::fromStdString(temp.file("red.png"));
    ASSERT_TRUE(redSquare().save(file));
    QByteArray huge(kMaxPictureBytes + 10, 'x');
    const QString refused[] = {
        file,  // a file on this machine
        "file://" + file,
        "http://127.0.0.1:9/red.png",                                     // never fetched
        "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAA!!!!",             // broken
        dataAddress(redSquare(4097, 2), "PNG", "png"),                    // too wide
        dataAddress(redSquare(2, 5000), "PNG", "png"),                    // too high
        "data:image/png;base64," + QString::fromLatin1(huge.toBase64()),  // too many bytes
        "data:image/svg+xml;base64," +
            QString::fromLatin1(QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='40' "
                                           "height='40'><rect width='40' height='40' "
                                           "fill='red'/></svg>")
                                    .toBase64()),
    };
    for (const QString& source : refused) {
        open(withPicture(source));
        // Nothing at all, not even a broken-picture sign.
        EXPECT_EQ(shown(), nothing) << source.left(60).toStdString();
    }

    // Style sheets a page links to are not read either.
    QString sheet = QString::fromStdString(temp.file("red.css"));
    QFile css(sheet);
    ASSERT_TRUE(css.open(QIODevice::WriteOnly));
    css.write("p { color: red; background-color: red; }");
    css.close();
    for (const QString& address : {sheet, "file://" + sheet}) {
        open(("<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"" + address +
              "\"></head><body><p>red?</p></body></html>")
                 .toStdString());
        EXPECT_EQ(countColour(shown(), kRed, 40), 0) << address.toStdString();
    }
}

TEST_F(HtmlViewTest, PicturesOfAPageTogetherStayWithinAPixelBudget) {
    // Three pictures of 1.44 million pixels each (different, as the document
    // reads each address once): the third is over the budget.
    std::string page = "<p>";
    for (int i = 0; i < 3; ++i) {
        QString big = dataAddress(redSquare(1200, 1200 + i), "PNG", "png");
        page += ("<img src=\"" + big + "\" width=\"100\" height=\"100\">").toStdString();
    }
    open(page + "</p>");
    EXPECT_NEAR(countColour(shown(), kRed, 40), 2 * 100 * 100, 400);
    // A new page has the whole budget again.
    open(page.substr(0, page.find('>', 4) + 1) + "</p>");
    EXPECT_NEAR(countColour(shown(), kRed, 40), 100 * 100, 200);
    // One picture alone may not have more pixels than the budget allows.
    EXPECT_TRUE(decodeDataPicture(dataAddress(redSquare(2049, 1024), "PNG", "png")).isNull());
    EXPECT_FALSE(decodeDataPicture(dataAddress(redSquare(2048, 1024), "PNG", "png")).isNull());
}

TEST(HtmlPicturesTest, DecodesOnlyBoundedPicturesOfTheFourFormats) {
    EXPECT_EQ(decodeDataPicture(dataAddress(redSquare(4096, 1), "PNG", "png")).width(), 4096);
    EXPECT_TRUE(decodeDataPicture(dataAddress(redSquare(4097, 1), "PNG", "png")).isNull());
    EXPECT_EQ(decodeDataPicture("DATA:image/png;base64," +
                                dataAddress(redSquare(3, 2), "PNG", "png").mid(22))
                  .size(),
              QSize(3, 2));
    // Percent-encoded payloads are data too.
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    redSquare(5, 5).save(&buffer, "BMP");
    EXPECT_EQ(
        decodeDataPicture("data:image/bmp," + QString::fromLatin1(bmp.toPercentEncoding())).size(),
        QSize(5, 5));
    EXPECT_TRUE(decodeDataPicture("data:,").isNull());
    EXPECT_TRUE(decodeDataPicture("data:image/png;base64").isNull());
    EXPECT_TRUE(decodeDataPicture("").isNull());
}

// Each page must show what it can, quickly; the bound is generous so that
// only a runaway (minutes) fails it.
TEST_F(HtmlViewTest, HostilePagesShowWhatTheyCanInBoundedTime) {
    auto nested = [](const std::string& open, const std::string& close, int depth) {
        std::string page = "<p>start</p>";
        for (int i = 0; i < depth; ++i)
            page += open;
        page += "deep";
        for (int i = 0; i < depth; ++i)
            page += close;
        return page;
    };
    std::string bigPage = "<p>start</p>";
    while (bigPage.size() < 8 * 1024 * 1024) {
        bigPage += "<tr><td>1</td><td>name</td><td><a href=\"http://x/\">2</a></td></tr>\n";
    }
    auto repeated = [](const std::string& text, int times) {
        std::string page;
        for (int i = 0; i < times; ++i)
            page += text;
        return page;
    };
    std::string wideTable = "<p>start</p><table><tr>";
    for (int i = 0; i < 20000; ++i)
        wideTable += "<td>c</td>";
    const std::pair<const char*, std::string> pages[] = {
        {"8 MiB", bigPage},
        {"divs", nested("<div>", "</div>", 10000)},
        {"lists", nested("<ul><li>", "</li></ul>", 10000)},
        {"tables", nested("<table><tr><td>", "</td></tr></table>", 10000)},
        {"open tables", nested("<table border=1><tr><td>", "", 10000)},
        {"quotes", nested("<blockquote><font size=7>", "", 10000)},
        {"wide table", wideTable},
        {"spans",
         "<p>start</p>" +
             repeated(
                 "<table><tr><td colspan=\"99999999\" rowspan=\"99999999\">x</td></tr></table>",
                 5000)},
        {"broken",
         "<p>start</p><<<>>><a href=<b><table><td><tr></table></td></tr><img src=x "
         "<p attr=\"unclosed>\xff\xfe\x00 text"},
    };
    for (const auto& [name, page] : pages) {
        QElapsedTimer clock;
        clock.start();
        THtmlView& view = open(page);
        shown();
        EXPECT_LT(clock.elapsed(), 60000) << name;
        EXPECT_TRUE(view.toPlainText().startsWith("start")) << name;
    }
}

}  // namespace
}  // namespace velmora::online
