// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ButtonComps.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

using velmora::testing::boxOf;
using velmora::testing::crispFont;
using velmora::testing::picture;

class SelButtonTest : public velmora::testing::QtFixture {
protected:
    void SetUp() override {
        velmora::testing::ensureApplication();
        window.resize(300, 200);
        button = new TSelButton(&window);
        button->move(20, 20);
        button->setFont(crispFont("Arial", 8));
        button->setColor(rest);
        button->setColorOver(over);
        button->setColorDown(down);
        button->setColorBorder(border);
        button->setCaption("Overview");
        window.show();
    }

    void enter() {
        QEnterEvent event(QPointF(5, 5), QPointF(25, 25), QPointF(25, 25));
        QApplication::sendEvent(button, &event);
    }
    void leave() {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(button, &event);
    }
    QColor face() { return QColor(picture(*button).pixel(button->width() / 2, 2)); }
    QRect ink(const QColor& color) { return boxOf(picture(*button), color); }

    QWidget window;
    TSelButton* button = nullptr;
    const QColor rest{230, 227, 196};
    const QColor over{132, 185, 164};
    const QColor down{200, 100, 100};
    const QColor grey{128, 128, 128};
    const QColor black{Qt::black};
    const QColor border{0, 0, 90};
};

TEST(SelButtonDefaults, MatchTheHelpWindowsNeeds) {
    velmora::testing::ensureApplication();
    QWidget parent;
    TSelButton button(&parent);
    EXPECT_EQ(button.size(), QSize(105, 20));
    EXPECT_EQ(button.colorOver(), QColor(132, 185, 164));
    EXPECT_EQ(button.colorDown(), QColor(132, 185, 164));
    EXPECT_EQ(button.colorOverCaption(), QColor(Qt::black));
    EXPECT_EQ(button.colorBorder(), QColor(128, 128, 128));
    EXPECT_EQ(button.fontColor(), QColor(128, 128, 128));
    EXPECT_EQ(button.borderWidth(), 1);
    EXPECT_EQ(button.alignment(), Qt::AlignLeft);
    EXPECT_EQ(QFontInfo(button.font()).family(), QFontInfo(QFont("Liberation Sans")).family());
    EXPECT_EQ(button.font().pointSize(), 8);
    button.setObjectName("SelButton1");
    EXPECT_EQ(button.caption(), "SelButton1");
    button.setCaption("Done");
    button.setObjectName("button_done");
    EXPECT_EQ(button.caption(), "Done");
}

TEST_F(SelButtonTest, RestLookHasFaceCaptionAndNestedFrames) {
    button->setBorderWidth(3);
    QImage image = picture(*button);
    const int w = button->width();
    const int h = button->height();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QColor(image.pixel(i, i)), border) << i;
        EXPECT_EQ(QColor(image.pixel(w - 1 - i, h - 1 - i)), border) << i;
        EXPECT_EQ(QColor(image.pixel(w / 2, i)), border) << i;
    }
    EXPECT_EQ(QColor(image.pixel(3, 3)), rest);
    EXPECT_EQ(QColor(image.pixel(w - 4, h - 4)), rest);

    button->setBorderWidth(1);
    EXPECT_EQ(QColor(picture(*button).pixel(2, 2)), rest);
    button->setColorBorder(QColor(1, 2, 3));
    EXPECT_EQ(QColor(picture(*button).pixel(0, 5)), QColor(1, 2, 3));
    button->setColor(QColor(10, 20, 30));
    EXPECT_EQ(face(), QColor(10, 20, 30));
}

TEST_F(SelButtonTest, CaptionSitsWhereTheAlignmentPutsIt) {
    const QFontMetrics metrics(button->font());
    const int tw = metrics.horizontalAdvance("Overview");
    const int w = button->width();
    struct Case {
        Qt::Alignment alignment;
        int x;
    };
    for (Case c : {Case{Qt::AlignLeft, 5}, Case{Qt::AlignRight, w - tw - 6},
                   Case{Qt::AlignHCenter, w / 2 - tw / 2}}) {
        button->setAlignment(c.alignment);
        QRect box = ink(grey).intersected(QRect(1, 1, w - 2, button->height() - 2));
        ASSERT_FALSE(box.isEmpty());
        // The ink starts at most a pixel or two inside the text's own box.
        EXPECT_GE(box.left(), c.x) << c.alignment;
        EXPECT_LE(box.left(), c.x + 2) << c.alignment;
        EXPECT_LE(box.right(), c.x + tw) << c.alignment;
        const int y = button->height() / 2 - metrics.height() / 2;
        EXPECT_GE(box.top(), y);
        EXPECT_LE(box.bottom(), y + metrics.height());
    }
}

TEST_F(SelButtonTest, HoverPressAndReleaseOverTheButtonClickOnce) {
    QSignalSpy clicks(button, &TSelButton::clicked);
    QRect restInk = ink(grey).intersected(QRect(1, 1, 103, 18));

    enter();
    EXPECT_EQ(button->look(), TSelButton::Look::Hover);
    EXPECT_EQ(face(), over);
    QRect hoverInk = ink(black);
    EXPECT_EQ(hoverInk, restInk);

    TSelButton::Look lookDuringClick = TSelButton::Look::Pressed;
    QObject::connect(button, &TSelButton::clicked, [&](TSelButton* sender) {
        EXPECT_EQ(sender, button);
        lookDuringClick = sender->look();
    });
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(face(), down);
    EXPECT_EQ(ink(black), hoverInk.translated(1, 1));
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 8));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(lookDuringClick, TSelButton::Look::Rest);
    EXPECT_EQ(button->look(), TSelButton::Look::Hover);
    EXPECT_EQ(face(), over);

    leave();
    EXPECT_EQ(face(), rest);
    EXPECT_EQ(ink(grey).intersected(QRect(1, 1, 103, 18)), restInk);
}

TEST_F(SelButtonTest, ReleasingOutsideDoesNotClick) {
    QSignalSpy clicks(button, &TSelButton::clicked);
    QSignalSpy ups(button, &TSelButton::mouseUp);
    enter();
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(200, 100));
    EXPECT_EQ(button->look(), TSelButton::Look::Rest);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_EQ(button->look(), TSelButton::Look::Rest);
    EXPECT_EQ(face(), rest);
}

TEST_F(SelButtonTest, OtherMouseButtonsChangeNothing) {
    QSignalSpy clicks(button, &TSelButton::clicked);
    QSignalSpy downs(button, &TSelButton::mouseDown);
    enter();
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->look(), TSelButton::Look::Hover);
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(button->look(), TSelButton::Look::Hover);
    EXPECT_EQ(clicks.count(), 0);
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(downs.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
}

TEST_F(SelButtonTest, DisabledButtonIgnoresTheMouseButPaintsItsRestLook) {
    QSignalSpy clicks(button, &TSelButton::clicked);
    QSignalSpy downs(button, &TSelButton::mouseDown);
    QRect restInk = ink(grey).intersected(QRect(1, 1, 103, 18));
    button->setEnabled(false);
    enter();
    EXPECT_EQ(face(), rest);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(downs.count(), 0);
    EXPECT_EQ(face(), rest);
    EXPECT_EQ(ink(grey).intersected(QRect(1, 1, 103, 18)), restInk);

    button->setEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
}

}  // namespace
}  // namespace velmora::controls
