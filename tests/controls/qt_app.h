// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The QApplication the control tests need, created once, with the program's
// font substitutions, plus small helpers to look at grabbed pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QWidget>

#include "controls/fonts.h"

namespace velmora::testing {

void ensureApplication();

// A test fixture base that has the application ready before any member
// widget of the fixture is built.
class QtFixture : public ::testing::Test {
protected:
    QtFixture() { ensureApplication(); }
};

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "controls_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* created = new QApplication(argc, argv);
        controls::installFontSubstitutions();
        return created;
    }();
    (void)app;
}

// A font drawn without smoothing, so caption pixels carry exactly the pen
// colour and can be located.
inline QFont crispFont(const QString& family, int pointSize) {
    QFont font(family, pointSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The smallest rectangle holding every pixel of exactly `color` in `area`.
inline QRect boxOf(const QImage& image, const QColor& color, QRect area = QRect()) {
    if (area.isNull()) {
        area = image.rect();
    }
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) == (color.rgb() & 0xFFFFFFu)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

inline QImage picture(QWidget& widget) { return widget.grab().toImage(); }

}  // namespace velmora::testing
