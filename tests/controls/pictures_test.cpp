// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded pictures: present, of the sizes the windows lay out, and the
// buttons keyed for transparency by their bottom-left pixel.

#include <gtest/gtest.h>

#include <QImage>

#include "controls/picture_button.h"
#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

TEST(Pictures, HaveTheSizesTheWindowsExpect) {
    velmora::testing::ensureApplication();
    const struct {
        const char* path;
        QSize size;
    } pictures[] = {
        {":/pictures/key_legend.png", {130, 102}},  {":/pictures/maker_logo.png", {293, 60}},
        {":/pictures/product_logo.png", {185, 53}}, {":/pictures/high_scores.png", {110, 116}},
    };
    for (const auto& picture : pictures) {
        EXPECT_EQ(QImage(picture.path).size(), picture.size) << picture.path;
    }
}

TEST(Pictures, ButtonsAreLetteredOnAPaleFaceWithWhiteCorners) {
    velmora::testing::ensureApplication();
    for (const char* name : {"start_game", "done", "cancel", "send_score", "view_scores",
                             "reset_tally"}) {
        const QImage button(QString(":/pictures/button_%1.png").arg(name));
        ASSERT_EQ(button.size(), QSize(126, 40)) << name;
        EXPECT_EQ(button.pixel(0, 39), qRgb(255, 255, 255)) << name;
        // Only the corners are keyed out: the face and lettering stay.
        const QImage shown = withBottomLeftTransparent(button);
        int clear = 0;
        int dark = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 126; ++x) {
                clear += qAlpha(shown.pixel(x, y)) == 0 ? 1 : 0;
                dark += qGray(button.pixel(x, y)) < 90 ? 1 : 0;
            }
        }
        EXPECT_GT(clear, 4) << name;
        EXPECT_LT(clear, 100) << name;
        EXPECT_GT(dark, 150) << name;
        const QColor face(button.pixel(8, 20));
        EXPECT_LE(std::abs(face.red() - 230) + std::abs(face.green() - 227) +
                      std::abs(face.blue() - 196),
                  30)
            << name;
    }
}

}  // namespace
}  // namespace velmora::controls
