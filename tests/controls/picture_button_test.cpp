// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picture_button.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

QImage lettered() {
    QImage image(126, 40, QImage::Format_RGB32);
    image.fill(QColor(230, 227, 196));
    for (int x = 0; x < 126; ++x) {
        image.setPixel(x, 39, qRgb(255, 255, 255));
    }
    image.setPixel(60, 20, qRgb(255, 255, 255));
    image.setPixel(61, 20, qRgb(20, 20, 20));
    return image;
}

TEST(PictureButton, ClicksOnlyForALeftButtonReleasedOverIt) {
    velmora::testing::ensureApplication();
    QWidget window;
    window.resize(300, 200);
    PictureButton button(&window);
    button.setPicture(lettered());
    EXPECT_EQ(button.size(), QSize(126, 40));
    window.show();
    QSignalSpy clicks(&button, &PictureButton::clicked);

    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(60, 20));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(60, 20));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(160, 20));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(PictureButton, TransparentHidesTheBottomLeftColourOnly) {
    velmora::testing::ensureApplication();
    QImage clear = withBottomLeftTransparent(lettered());
    EXPECT_EQ(qAlpha(clear.pixel(0, 39)), 0);
    EXPECT_EQ(qAlpha(clear.pixel(60, 20)), 0);
    EXPECT_EQ(clear.pixel(61, 20), qRgb(20, 20, 20));
    EXPECT_EQ(clear.pixel(10, 10), qRgb(230, 227, 196));
    EXPECT_TRUE(withBottomLeftTransparent(QImage()).isNull());

    QWidget window;
    QPalette p = window.palette();
    p.setColor(QPalette::Window, QColor(59, 89, 152));
    window.setPalette(p);
    window.setAutoFillBackground(true);
    window.resize(200, 100);
    PictureButton button(&window);
    button.setPicture(lettered());
    button.move(10, 10);
    window.show();
    EXPECT_EQ(QColor(window.grab().toImage().pixel(10 + 60, 10 + 20)), QColor(Qt::white));
    button.setTransparent(true);
    QImage shown = window.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(10 + 60, 10 + 20)), QColor(59, 89, 152));
    EXPECT_EQ(QColor(shown.pixel(10 + 5, 10 + 39)), QColor(59, 89, 152));
    EXPECT_EQ(QColor(shown.pixel(10 + 61, 10 + 20)), QColor(20, 20, 20));
}

}  // namespace
}  // namespace velmora::controls
