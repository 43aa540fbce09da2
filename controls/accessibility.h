// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a screen reader is told about the program's own controls, which Qt
// knows only as plain widgets: picture and highlight buttons are buttons that
// can be pressed, a flat panel is a group named by its caption, and any
// other widget can be given a role of its own (a title drawn by hand is
// static text, the well is a picture).

#include <QAccessible>

class QWidget;

namespace velmora::controls {

// Announces `widget` with `role`; its accessible name and description say
// the rest. Installs the program's accessibility on first use.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// Makes Qt ask the program about its controls; safe to call often.
void installAccessibility();

}  // namespace velmora::controls
