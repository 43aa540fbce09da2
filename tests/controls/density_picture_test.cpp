// SPDX-License-Identifier: GPL-3.0-or-later
// The embedded pictures at each screen density: drawn for 1.25, 1.5, 2 and 3,
// chosen by the screen's ratio, and reduced from the next denser drawing for
// any other ratio.

#include "controls/density_picture.h"

#include <gtest/gtest.h>

#include <QImage>

#include "tests/controls/qt_app.h"

namespace velmora::controls {
namespace {

const struct {
    const char* resource;
    QSize size;
} kPictures[] = {
    {":/pictures/button_start_game.png", {126, 40}}, {":/pictures/button_done.png", {126, 40}},
    {":/pictures/button_cancel.png", {126, 40}},     {":/pictures/button_send_score.png", {126, 40}},
    {":/pictures/button_view_scores.png", {126, 40}}, {":/pictures/button_reset_tally.png", {126, 40}},
    {":/pictures/key_legend.png", {130, 102}},       {":/pictures/maker_logo.png", {293, 60}},
    {":/pictures/product_logo.png", {185, 53}},      {":/pictures/high_scores.png", {110, 116}},
};

TEST(DensityPicture, FileNamesCarryTheDensity) {
    EXPECT_EQ(densityFileName(":/pictures/logo.png", 1), ":/pictures/logo.png");
    EXPECT_EQ(densityFileName(":/pictures/logo.png", 2), ":/pictures/logo@2x.png");
    EXPECT_EQ(densityFileName(":/pictures/logo.png", 1.25), ":/pictures/logo@1.25x.png");
    EXPECT_EQ(densityFileName(":/a.b/logo", 1.5), ":/a.b/logo@1.5x");
}

TEST(DensityPicture, EveryPictureIsDrawnForEveryDensityAndPickedByRatio) {
    velmora::testing::ensureApplication();
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.resource);
        const QImage onex(picture.resource);
        ASSERT_EQ(onex.size(), picture.size);
        EXPECT_EQ(pictureForRatio(picture.resource, 1), onex);
        EXPECT_EQ(pictureForRatio(picture.resource, 0.75), onex);
        for (double ratio : {1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0}) {
            SCOPED_TRACE(ratio);
            const QImage shown = pictureForRatio(picture.resource, ratio);
            EXPECT_EQ(shown.devicePixelRatio(), ratio);
            EXPECT_EQ(shown.size(), QSize(qRound(picture.size.width() * ratio),
                                          qRound(picture.size.height() * ratio)));
            EXPECT_EQ(shown.deviceIndependentSize().toSize(), picture.size);
        }
        // Drawn files are shown as they are; buttons keep their white key.
        for (double density : kPictureDensities) {
            const QImage drawn(densityFileName(picture.resource, density));
            ASSERT_FALSE(drawn.isNull()) << density;
            EXPECT_EQ(pictureForRatio(picture.resource, density).convertToFormat(drawn.format()),
                      drawn);
            if (picture.size == QSize(126, 40)) {
                EXPECT_EQ(drawn.pixel(0, drawn.height() - 1), qRgb(255, 255, 255));
            }
        }
    }
    EXPECT_TRUE(pictureForRatio(":/pictures/none.png", 2).isNull());
}

}  // namespace
}  // namespace velmora::controls
