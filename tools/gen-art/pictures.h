// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's artwork, drawn with QPainter.

#include <QImage>
#include <QString>

namespace velmora::tools {

// A 126 x 40 lettered button: pale face, thin dark frame, dark capitals, on
// white corners (white is the transparent colour of picture buttons).
QImage pictureButton(const QString& caption);

// 130 x 102: the game's keys on the window colour.
QImage keyLegend();

// 293 x 60: the maker's name and web address.
QImage makerLogo();

// 185 x 53: the product's name and the maker's name.
QImage productLogo();

// 110 x 116: a trophy for the high-score window.
QImage highScorePicture();

}  // namespace velmora::tools
