// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures embedded in an HTML page as data: addresses. The page comes over
// plain HTTP, so every picture is hostile until decoded within fixed bounds.

#include <QImage>
#include <QString>

namespace velmora::online {

// Largest picture accepted: its decoded bytes, and its width and height.
inline constexpr qsizetype kMaxPictureBytes = 256 * 1024;
inline constexpr int kMaxPictureSide = 4096;
inline constexpr qint64 kMaxPicturePixels = 2 * 1024 * 1024;
// All the pictures of one page together; later ones show as nothing.
inline constexpr qint64 kMaxPagePicturePixels = 4 * 1024 * 1024;

// The picture of a "data:" address (scheme in any letter case; base64 or
// percent-encoded payload) in GIF, JPEG, PNG or BMP. A null image for any
// other address, any other format, a payload over kMaxPictureBytes, a
// picture wider or higher than kMaxPictureSide or of more than
// kMaxPicturePixels, or one that does not decode.
QImage decodeDataPicture(const QString& address);

}  // namespace velmora::online
