// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The colours and fonts the program's windows share.

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace velmora::style {

inline const QColor kWindow{59, 89, 152};  // every window's background
inline const QColor kPale{230, 227, 196};  // most text and panel frames
inline const QColor kGrey{128, 128, 128};  // secondary text, title shadows
inline const QColor kYellow{255, 255, 0};

// The font the windows are laid out in; the face is resolved through the
// program's font substitutions.
QFont font(const QString& family, int pixelHeight, bool bold = false, bool underline = false);

// A text label at (x, y) in parent, sized to its text unless a width is given.
// It shows every text it is given as plain text, markup and all.
QLabel* label(QWidget* parent, int x, int y, const QString& text, const QFont& font,
              const QColor& color, int width = 0, int height = 0);

// Gives a widget the window colour as its background.
void paintWindowColour(QWidget* widget);

}  // namespace velmora::style
