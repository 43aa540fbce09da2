// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's pictures at the screen's density. Each picture is kept as a
// 1x file ("name.png") and drawn again for denser screens ("name@1.25x.png",
// "@1.5x", "@2x", "@3x"), so that at 150 % or 200 % scaling the buttons and
// logos are as sharp as the text beside them, not enlarged bitmaps.

#include <QImage>
#include <QString>

namespace velmora::controls {

// The densities the pictures are drawn at, besides 1.
inline constexpr double kPictureDensities[] = {1.25, 1.5, 2.0, 3.0};

// "dir/name@2x.png" for ("dir/name.png", 2); the 1x name for ratio 1.
QString densityFileName(const QString& resource, double ratio);

// The picture `resource` for a screen with `ratio` device pixels to a
// logical pixel, with that device pixel ratio set so that it keeps the 1x
// logical size: at ratio 1 (or below) the 1x file as it is; the file drawn
// for the ratio when there is one; else the next denser drawing reduced
// smoothly. An unreadable resource gives a null image.
QImage pictureForRatio(const QString& resource, double ratio);

}  // namespace velmora::controls
