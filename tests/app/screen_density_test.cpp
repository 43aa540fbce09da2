// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's pictures at the screen's density, run once per density
// (QT_SCALE_FACTOR 1, 1.5 and 2 on the offscreen platform): at 1 every
// picture shows exactly its 1x pixels; on denser screens the well, the logo
// and the buttons are drawn for the density, not enlarged.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include "app/mainform.h"
#include "app/picture_view.h"
#include "controls/density_picture.h"
#include "controls/picture_button.h"
#include "controls/picture_label.h"
#include "tests/platform/temp_folder.h"

namespace velmora {
namespace {

// Aligned 2 x 2 blocks whose four pixels are not all equal: none at all in a
// picture enlarged by repeating each pixel twice each way.
int mixedBlocks(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    int mixed = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p ||
                image.pixel(x + 1, y + 1) != p) {
                ++mixed;
            }
        }
    }
    return mixed;
}

QImage rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

class ScreenDensityTest : public ::testing::Test {
  protected:
    Tmain& open() {
        MainEnvironment environment;
        environment.filesFolder = temp_.path().string() + "/";
        environment.seedFromClock = false;
        window_ = std::make_unique<Tmain>(environment);
        window_->game().seedRandom(3);
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        window_->button_namedoneClick();
        window_->StartGame1->trigger();
        for (int tick = 0; tick < 60; ++tick) {
            window_->game().downtimerTimer();
        }
        return *window_;
    }

    testing::TempFolder temp_;
    std::unique_ptr<Tmain> window_;
};

TEST_F(ScreenDensityTest, PicturesAreDrawnForTheScreensDensity) {
    Tmain& window = open();
    const double ratio = window.devicePixelRatioF();
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());

    const QImage logo = window.image_logo->grab().toImage();
    const QImage board = window.image_board->grab().toImage();
    const QImage keys = window.image_keys->grab().toImage();
    const engine::Picture& picture = window.game().board();
    // Logical sizes stay; the pictures have the screen's pixels.
    EXPECT_EQ(window.image_logo->size(), QSize(293, 60));
    EXPECT_EQ(window.image_board->size(), QSize(287, 502));
    EXPECT_EQ(logo.size(), QSize(qRound(293 * ratio), qRound(60 * ratio)));
    EXPECT_EQ(picture.pixelRatio, ratio);
    EXPECT_EQ(picture.width, qRound(287 * ratio));

    if (ratio == 1.0) {
        EXPECT_EQ(rgb32(logo), rgb32(QImage(":/pictures/maker_logo.png")));
        EXPECT_EQ(rgb32(keys), rgb32(QImage(":/pictures/key_legend.png")));
        EXPECT_EQ(rgb32(board), window.image_board->image().copy(0, 0, 287, 502));
        EXPECT_EQ(window.button_start->shownPicture().toImage().convertToFormat(
                      QImage::Format_ARGB32),
                  controls::withBottomLeftTransparent(QImage(":/pictures/button_start_game.png")));
        return;
    }
    EXPECT_EQ(window.button_start->shownPicture().devicePixelRatio(), ratio);
    EXPECT_EQ(window.button_start->shownPicture().size(),
              QSize(qRound(126 * ratio), qRound(40 * ratio)));
    // The well is shown device pixel for device pixel from the engine's picture.
    EXPECT_EQ(rgb32(board), window.image_board->image().copy(0, 0, board.width(), board.height()));
    if (ratio == 2.0) {
        // An enlargement of the 1x pictures would have no mixed block at all.
        EXPECT_GT(mixedBlocks(logo), 400);
        EXPECT_GT(mixedBlocks(keys), 400);
        EXPECT_GT(mixedBlocks(board), 20000);
        EXPECT_GT(mixedBlocks(window.button_start->grab().toImage()), 200);
    }
}

}  // namespace
}  // namespace velmora
