#pragma once
// The desktop work area: the primary screen less panels and task bars.

#include <QRect>

namespace velmora::platform {

QRect workArea();

}  // namespace velmora::platform
