// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one look of every highlight button of the help and about windows: a
// pale face that stays pale under the mouse and when pressed, a black frame,
// and an "Arial" 13-pixel bold caption, grey at rest and black under the mouse.

#include <QRect>
#include <QString>

#include "controls/ButtonComps.h"

namespace velmora {

// A highlight button named `name` in `parent` with the given caption and
// bounds; page buttons align left, "Done" buttons centre.
controls::TSelButton* highlightButton(QWidget* parent, const QString& name, const QString& caption,
                                      QRect bounds, Qt::Alignment alignment = Qt::AlignLeft);

}  // namespace velmora
