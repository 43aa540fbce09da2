// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TFlatPanelUnit.h"

#include <gtest/gtest.h>

#include <QPainter>

#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

using velmora::testing::boxOf;
using velmora::testing::crispFont;
using velmora::testing::picture;

// A parent that paints a pattern no two neighbouring pixels share, so any
// misalignment of what shows through a transparent panel is seen.
class PatternWidget : public QWidget {
public:
    static QColor at(int x, int y) { return QColor((x * 7) % 256, (y * 5) % 256, (x + y) % 256); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                painter.fillRect(x, y, 1, 1, at(x, y));
            }
        }
    }
};

class FlatPanelTest : public velmora::testing::QtFixture {
protected:
    void SetUp() override {
        velmora::testing::ensureApplication();
        QPalette p = window.palette();
        p.setColor(QPalette::Window, QColor(59, 89, 152));
        p.setColor(QPalette::WindowText, QColor(230, 227, 196));
        window.setPalette(p);
        window.resize(400, 300);
    }

    QWidget window;
    const QColor pale{230, 227, 196};
    const QColor navy{59, 89, 152};
};

TEST_F(FlatPanelTest, DefaultsComeFromTheParent) {
    TFlatPanel panel(&window);
    EXPECT_EQ(panel.size(), QSize(185, 41));
    EXPECT_EQ(panel.colorHighLight(), QColor(160, 150, 131));
    EXPECT_EQ(panel.colorShadow(), QColor(160, 150, 131));
    EXPECT_FALSE(panel.transparent());
    EXPECT_EQ(panel.color(), navy);
    EXPECT_EQ(panel.fontColor(), pale);
    panel.setColor(QColor(64, 36, 174));
    EXPECT_EQ(panel.color(), QColor(64, 36, 174));
    EXPECT_EQ(window.palette().color(QPalette::Window), navy);
}

TEST_F(FlatPanelTest, FillsWithColorInsideATwoColourFrame) {
    TFlatPanel panel(&window);
    panel.setGeometry(20, 30, 50, 20);
    panel.setColor(Qt::black);
    panel.setColorHighLight(Qt::white);
    panel.setColorShadow(Qt::red);
    window.show();
    QImage image = picture(panel);
    ASSERT_EQ(image.size(), QSize(50, 20));
    const QColor white(Qt::white);
    const QColor red(Qt::red);
    EXPECT_EQ(QColor(image.pixel(0, 0)), white);
    EXPECT_EQ(QColor(image.pixel(48, 0)), white);
    EXPECT_EQ(QColor(image.pixel(0, 19)), white);  // the highlight owns this corner
    EXPECT_EQ(QColor(image.pixel(49, 0)), red);    // and the shadow this one
    EXPECT_EQ(QColor(image.pixel(49, 19)), red);
    EXPECT_EQ(QColor(image.pixel(1, 19)), red);
    EXPECT_EQ(QColor(image.pixel(0, 10)), white);
    EXPECT_EQ(QColor(image.pixel(49, 10)), red);
    EXPECT_EQ(boxOf(image, QColor(Qt::black)), QRect(1, 1, 48, 18));
}

TEST_F(FlatPanelTest, TransparentPanelsShowTheParentLinedUp) {
    PatternWidget pattern;
    pattern.resize(200, 150);
    auto* outer = new TFlatPanel(&pattern);
    outer->setGeometry(30, 20, 120, 100);
    outer->setTransparent(true);
    auto* inner = new TFlatPanel(outer);
    inner->setGeometry(10, 15, 60, 50);
    inner->setTransparent(true);
    // Reaches past the parent's right edge.
    auto* clipped = new TFlatPanel(&pattern);
    clipped->setGeometry(170, 5, 60, 30);
    clipped->setTransparent(true);
    pattern.show();

    QImage whole = picture(pattern);
    int mismatches = 0;
    for (int y = 21; y < 119; ++y) {
        for (int x = 31; x < 149; ++x) {
            bool innerFrame = QRect(40, 35, 60, 50).contains(x, y) &&
                              !QRect(41, 36, 58, 48).contains(x, y);
            if (!innerFrame && QColor(whole.pixel(x, y)) != PatternWidget::at(x, y)) {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(QColor(whole.pixel(30, 20)), QColor(160, 150, 131));
    EXPECT_EQ(QColor(whole.pixel(40, 35)), QColor(160, 150, 131));
    EXPECT_EQ(QColor(whole.pixel(185, 20)), PatternWidget::at(185, 20));

    // Grabbing the panel alone shows the same pixels.
    QImage alone = picture(*inner);
    EXPECT_EQ(QColor(alone.pixel(5, 7)), PatternWidget::at(30 + 10 + 5, 20 + 15 + 7));
}

TEST_F(FlatPanelTest, CaptionIsCentredVerticallyAndAlignedByAlignment) {
    TFlatPanel panel(&window);
    panel.setGeometry(0, 0, 185, 41);
    panel.setFont(crispFont("Arial", 12));
    panel.setCaption("Mid");
    window.show();
    const int width = panel.width();

    panel.setAlignment(Qt::AlignLeft);
    QRect left = boxOf(picture(panel), pale);
    panel.setAlignment(Qt::AlignRight);
    QRect right = boxOf(picture(panel), pale);
    panel.setAlignment(Qt::AlignHCenter);
    QRect centre = boxOf(picture(panel), pale);

    ASSERT_FALSE(left.isEmpty());
    EXPECT_GE(left.left(), 1);
    EXPECT_LE(left.left(), 3);
    EXPECT_LE(right.right(), width - 2);
    EXPECT_GE(right.right(), width - 4);
    EXPECT_LE(std::abs((centre.left() - 1) - (width - 2 - centre.right())), 3);
    EXPECT_EQ(left.top(), centre.top());
    EXPECT_LE(std::abs((left.top() - 1) - (40 - 1 - left.bottom())), 4);
}

TEST_F(FlatPanelTest, DisabledCaptionIsEngraved) {
    TFlatPanel panel(&window);
    panel.setGeometry(0, 0, 185, 41);
    panel.setFont(crispFont("Arial", 12));
    panel.setCaption("Tally");
    window.show();
    const QPalette system = QApplication::palette();
    const QColor light = system.color(QPalette::Active, QPalette::Light);
    const QColor dark = system.color(QPalette::Active, QPalette::Dark);
    ASSERT_NE(light, dark);

    QRect inPlace = boxOf(picture(panel), pale);
    panel.setEnabled(false);
    QImage engraved = picture(panel);
    EXPECT_TRUE(boxOf(engraved, pale).isEmpty());
    QRect shadow = boxOf(engraved, dark);
    QRect highlight = boxOf(engraved, light, engraved.rect().adjusted(1, 1, -1, -1));
    EXPECT_EQ(shadow, inPlace);
    EXPECT_EQ(highlight.bottomRight(), shadow.bottomRight() + QPoint(1, 1));

    panel.setEnabled(true);
    EXPECT_EQ(boxOf(picture(panel), pale), inPlace);
}

}  // namespace
}  // namespace velmora::controls
