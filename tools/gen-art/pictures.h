// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's artwork, drawn with QPainter. Sizes are in logical pixels;
// `scale` draws a picture for a denser screen (2: twice as many pixels each
// way), from the same shapes and text rather than by enlarging the 1x one.

#include <QImage>
#include <QString>

namespace velmora::tools {

// A 126 x 40 lettered button: pale face, thin dark frame, dark capitals, on
// white corners (white is the transparent colour of picture buttons).
QImage pictureButton(const QString& caption, double scale = 1);

// 130 x 102: the game's keys on the window colour.
QImage keyLegend(double scale = 1);

// 293 x 60: the maker's name and web address.
QImage makerLogo(double scale = 1);

// 185 x 53: the product's name and the maker's name.
QImage productLogo(double scale = 1);

// 110 x 116: a trophy for the high-score window.
QImage highScorePicture(double scale = 1);

}  // namespace velmora::tools
