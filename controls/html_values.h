// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checks of the attribute and style values a page may pass to the view.
// Each returns the value as the view should see it (trimmed, clamped to its
// bounds), or a null string when the value is not one the view accepts.

#include <QString>

namespace velmora::online {

// "#rgb", "#rrggbb" or a colour name of letters only.
QString colourValue(QStringView value);

// Pixels ("120", clamped to `maxPixels`) or a percentage ("50%", at most 100).
QString lengthValue(QStringView value, int maxPixels);

// A whole number from 0 (or 1 for spans) up to `max`; larger ones are `max`.
QString countValue(QStringView value, int min, int max);

// left, right, center or justify (and for vertical alignment top, middle,
// bottom, baseline), in lower case.
QString alignValue(QStringView value);
QString verticalAlignValue(QStringView value);

// A <font size>: 1 to 7, or a step of -7 to +7.
QString fontSizeValue(QStringView value);

// Font family names: letters, digits, blanks, hyphens and commas, short.
QString fontFaceValue(QStringView value);

// A list's numbering or bullet type.
QString listTypeValue(QStringView value);

// Of a style attribute, only color, background-color, text-align,
// font-size (up to 48 pixels or 36 points) and font-weight, each with a
// plain value; a null string when none remains.
QString plainStyle(QStringView declarations);

}  // namespace velmora::online
