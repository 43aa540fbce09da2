// SPDX-License-Identifier: GPL-3.0-or-later
// The help and about windows offscreen, wired to the main window as the
// program wires them: the Help menu and F1, the pages and their texts, the
// year labels, the web link and the logo, the version and the button looks.

#include <gtest/gtest.h>

#include <QAction>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/aboutform.h"
#include "app/helpform.h"
#include "app/mainform.h"
#include "app/version.h"
#include "controls/ButtonComps.h"
#include "controls/picture_button.h"
#include "platform/dates.h"
#include "platform/shell.h"
#include "tests/platform/recording_shell.h"
#include "tests/platform/temp_folder.h"
#include "ui/credit_lines.h"

namespace velmora {
namespace {

using controls::TSelButton;

const QColor kPale{230, 227, 196};
const QColor kGrey{128, 128, 128};
const QColor kBlack{Qt::black};
const QColor kYellow{255, 255, 0};

using testing::RecordingShell;

MainEnvironment environmentIn(const testing::TempFolder& folder, platform::Shell* shell) {
    MainEnvironment environment;
    environment.filesFolder = folder.path().string() + "/";
    environment.shell = shell;
    environment.seedFromClock = false;
    return environment;
}

class HelpWindowsTest : public ::testing::Test {
  protected:
    HelpWindowsTest()
        : window(environmentIn(temp, &shell)), about(shell, &window), help(&about, &window) {
        window.setHelpWindows(&help, &about, &about.URL1);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    static void click(QWidget* widget, QPoint at = QPoint(5, 5)) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    }

    // The same margin, to the pixel, on either side.
    static bool centredOver(const QWidget& shown, const QWidget& under) {
        const QRect a = shown.frameGeometry();
        const QRect b = under.frameGeometry();
        return std::abs((a.left() - b.left()) - (b.right() - a.right())) <= 1 &&
               std::abs((a.top() - b.top()) - (b.bottom() - a.bottom())) <= 1;
    }

    static std::vector<QString> lines(const QTextEdit* page) {
        std::vector<QString> result;
        for (QTextBlock block = page->document()->begin(); block.isValid(); block = block.next()) {
            result.push_back(block.text());
        }
        return result;
    }

    testing::TempFolder temp;
    RecordingShell shell;
    Tmain window;
    Tabout about;
    Thelp help;
};

TEST_F(HelpWindowsTest, BothAreCreatedHiddenAndReachedThroughTheirGlobals) {
    EXPECT_EQ(velmora::about, &about);
    EXPECT_EQ(velmora::help, &help);
    EXPECT_FALSE(about.isVisible());
    EXPECT_FALSE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), "Velmora - Help File");
    EXPECT_EQ(help.size(), QSize(523, 431));
    EXPECT_EQ(about.windowTitle(), "Velmora - About");
    EXPECT_EQ(about.size(), QSize(304, 193));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_LT(help.minimumSize().width(), 523);
}

TEST_F(HelpWindowsTest, HelpOpensOnOverviewAndReopensOnTheLastChosenPage) {
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.pageInFront(), help.memo1);
    EXPECT_EQ(help.label_caption->text(), "Overview");
    // Modeless and centred over the main window.
    EXPECT_FALSE(help.isModal());
    EXPECT_TRUE(centredOver(help, window));

    click(help.button_documentation);
    EXPECT_EQ(help.pageInFront(), help.memo5);
    EXPECT_EQ(lines(help.pageInFront()).front(), "History");
    EXPECT_EQ(help.label_caption->text(), "Documentation");

    click(help.button_done);
    EXPECT_FALSE(help.isVisible());
    window.Help1->trigger();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.pageInFront(), help.memo5);
    EXPECT_EQ(help.label_caption->text(), "Documentation");

    // Each button brings its own page forward.
    struct Choice {
        TSelButton* button;
        QTextEdit* page;
    };
    for (Choice c :
         {Choice{help.button_gameplay, help.memo3}, Choice{help.button_scoring, help.memo4},
          Choice{help.button_overview, help.memo1}}) {
        click(c.button);
        EXPECT_EQ(help.pageInFront(), c.page) << c.button->caption().toStdString();
        EXPECT_EQ(help.label_caption->text(), c.button->caption());
    }
}

TEST_F(HelpWindowsTest, APressReleasedOutsideAButtonChangesNothing) {
    help.show();
    TSelButton* button = help.button_scoring;
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(10, 60));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 60));
    EXPECT_EQ(help.pageInFront(), help.memo1);
    EXPECT_EQ(help.label_caption->text(), "Overview");
    EXPECT_EQ(button->look(), TSelButton::Look::Rest);
    EXPECT_EQ(QColor(button->grab().toImage().pixel(60, 3)), kPale);

    // A tag without a page of its own changes nothing either.
    TSelButton stray(&help);
    stray.setTag(2);
    stray.setCaption("Stray");
    help.SelButton1Click(&stray);
    EXPECT_EQ(help.pageInFront(), help.memo1);
    EXPECT_EQ(help.label_caption->text(), "Overview");
}

TEST_F(HelpWindowsTest, PagesHoldTheirLinesInReadOnlyPaleBoxes) {
    struct Page {
        QTextEdit* memo;
        const char* name;
        std::vector<QString> lines;
    };
    const std::vector<Page> pages{
        {help.memo1,
         "memo1",
         {"Overview", "",
          "My mom loves this type of game. I dedicate this game to her. Love ya Mom!"}},
        {help.memo3,
         "memo3",
         {"Game Play", "",
          "Rotate and move the blocks so that you form complete lines with no holes.", "",
          "When a line is complete, it is removed from the board.", "",
          "The more lines you remove at a time, the bigger the score will be.", "",
          "The game ends when the board is so full of blocks, that the blocks touch the ", "top.",
          "", "Left Arrow - Moves the block to the left",
          "Right Arrow - Moves the block to the right", "Down Arrow - Makes the block fall faster",
          "Up Arrow or the A key - Rotates the block counter clockwise",
          "S key - Rotates the block clockwise"}},
        {help.memo4,
         "memo4",
         {"Scoring", "", "IF YOU CLEAR  :  YOU GET", "",
          "  1 line                : 40 times level number.",
          "  2 lines              : 100 times the level number.",
          "  3 lines              : 400 times the level number.",
          "  4 lines              : 1000 times the level number."}},
        {help.memo5, "memo5", {"History", "", "Dec 6, 2011 - Version 1.0.0.0", "", " "}},
    };
    const QRect place = help.memo1->geometry();
    for (const Page& page : pages) {
        SCOPED_TRACE(page.name);
        ASSERT_NE(page.memo, nullptr);
        EXPECT_EQ(page.memo->objectName(), page.name);
        EXPECT_EQ(lines(page.memo), page.lines);
        EXPECT_TRUE(page.memo->isReadOnly());
        EXPECT_EQ(page.memo->frameShape(), QFrame::NoFrame);
        EXPECT_EQ(page.memo->document()->documentMargin(), 5);
        EXPECT_EQ(page.memo->font().pixelSize(), 11);
        EXPECT_FALSE(page.memo->focusPolicy() & Qt::TabFocus);
        EXPECT_NE(page.memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_EQ(page.memo->palette().color(QPalette::Base), kPale);
        EXPECT_EQ(page.memo->palette().color(QPalette::Text), kBlack);
        EXPECT_EQ(page.memo->geometry(), place);
    }
}

TEST_F(HelpWindowsTest, YearLabelsReadTheCurrentYearInFourDigits) {
    const QString year = yearText(platform::today().year);
    EXPECT_EQ(year.size(), 4);
    EXPECT_EQ(help.label_year->text(), year);
    EXPECT_EQ(about.label_year->text(), year);
    EXPECT_EQ(yearText(999), "0999");
    EXPECT_EQ(yearText(2026), "2026");
    // The year closes the last credit line.
    EXPECT_GT(help.label_year->x(), 0);
    EXPECT_EQ(help.label_year->parentWidget(), help.credits);
}

TEST_F(HelpWindowsTest, AboutIsShownFromTheMenuAndFromTheHelpWindow) {
    window.About1->trigger();
    ASSERT_TRUE(about.isVisible());
    EXPECT_TRUE(centredOver(about, window));
    click(about.Button1);
    EXPECT_FALSE(about.isVisible());

    window.Help1->trigger();
    click(help.button_about);
    EXPECT_TRUE(about.isVisible());
    // The logo hides the window, and the window survives it.
    click(about.Image1);
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(HelpWindowsTest, TheLinkAndTheLogoHandTheMakersAddressToTheShell) {
    EXPECT_EQ(about.URL1.URL, "www.nivoltsoftware.com");
    EXPECT_EQ(about.URL1.URLType, online::TURLType::utHttp);
    EXPECT_EQ(about.Label7->text(), "www.nivoltsoftware.com");
    EXPECT_EQ(about.Label7->cursor().shape(), Qt::PointingHandCursor);
    about.show();

    // Pressed on the link but released beside it: nothing opens.
    QTest::mousePress(about.Label7, Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseRelease(about.Label7, Qt::LeftButton, {}, QPoint(100, 40));
    EXPECT_TRUE(shell.opened.empty());

    click(about.Label7, QPoint(140, 10));
    click(window.image_logo);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.nivoltsoftware.com",
                                                      "http://www.nivoltsoftware.com"}));
}

TEST_F(HelpWindowsTest, TheVersionLineReadsTheProgramsVersionText) {
    EXPECT_STREQ(kVersionText, "1.0.0");
    EXPECT_EQ(about.version->text(), kVersionText);
    EXPECT_EQ(about.version->pos(), QPoint(96, 171));
    EXPECT_EQ(about.version->palette().color(QPalette::WindowText), kYellow);
    // "Version", the version and ".0" read as one line, left to right.
    QString line;
    std::vector<QLabel*> row;
    for (QLabel* label : about.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->y() == 171) {
            row.push_back(label);
        }
    }
    std::sort(row.begin(), row.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
    for (QLabel* label : row) {
        line += label->text() + (label->text() == "Version" ? " " : "");
    }
    EXPECT_EQ(line, "Version 1.0.0.0");
}

// The look every help and about button shares, checked in its pixels.
class HighlightButtonLook : public HelpWindowsTest,
                            public ::testing::WithParamInterface<const char*> {
  protected:
    TSelButton* button() {
        QString name = GetParam();
        return name == "Button1" ? about.Button1 : help.findChild<TSelButton*>(name);
    }

    // Pixels of exactly `color` inside the frame.
    static int inkOf(const QImage& image, const QColor& color) {
        int count = 0;
        for (int y = 1; y < image.height() - 1; ++y) {
            for (int x = 1; x < image.width() - 1; ++x) {
                count += QColor(image.pixel(x, y)) == color ? 1 : 0;
            }
        }
        return count;
    }

    // Where the caption is drawn: every pixel inside the frame off the face.
    static QRect captionBox(const QImage& image) {
        QRect box;
        for (int y = 1; y < image.height() - 1; ++y) {
            for (int x = 1; x < image.width() - 1; ++x) {
                if (QColor(image.pixel(x, y)) != kPale) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        return box;
    }

    static void enter(TSelButton* target) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(target, &event);
    }
};

TEST_P(HighlightButtonLook, PaleFaceBlackFrameGreyCaptionBlackUnderTheMouse) {
    help.show();
    about.show();
    TSelButton* target = button();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->font().family(), "Arial");
    EXPECT_EQ(target->font().pixelSize(), 13);
    EXPECT_TRUE(target->font().bold());

    QImage rest = target->grab().toImage();
    const int w = rest.width();
    const int h = rest.height();
    for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1),
                          QPoint(w / 2, 0), QPoint(0, h / 2)}) {
        EXPECT_EQ(QColor(rest.pixel(corner)), kBlack) << corner.x() << "," << corner.y();
    }
    EXPECT_EQ(QColor(rest.pixel(1, 1)), kPale);
    EXPECT_EQ(QColor(rest.pixel(w - 2, h - 2)), kPale);
    EXPECT_GT(inkOf(rest, kGrey), 10);
    EXPECT_EQ(inkOf(rest, kBlack), 0);

    enter(target);
    QImage over = target->grab().toImage();
    EXPECT_EQ(QColor(over.pixel(1, 1)), kPale);
    EXPECT_EQ(QColor(over.pixel(0, 0)), kBlack);
    EXPECT_EQ(inkOf(over, kGrey), 0);
    EXPECT_GT(inkOf(over, kBlack), 10);
    EXPECT_EQ(captionBox(over), captionBox(rest));

    // Held down: the same face, the caption a pixel right and down.
    QTest::mousePress(target, Qt::LeftButton, {}, QPoint(5, 5));
    QImage down = target->grab().toImage();
    EXPECT_EQ(QColor(down.pixel(1, 1)), kPale);
    EXPECT_GT(inkOf(down, kBlack), 10);
    EXPECT_EQ(captionBox(down), captionBox(rest).translated(1, 1));
    QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(5, 5));
}

INSTANTIATE_TEST_SUITE_P(HelpAndAboutButtons, HighlightButtonLook,
                         ::testing::Values("button_overview", "button_about", "button_done",
                                           "Button1"));

}  // namespace
}  // namespace velmora
