// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop work area: the primary screen less panels and task bars; and
// the virtual desktop that all screens make up.

#include <QRect>

namespace velmora::platform {

QRect workArea();

// The virtual desktop: all screens together. Empty when there is no screen.
QRect virtualDesktop();

}  // namespace velmora::platform
