// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Event handlers run guarded: an error that escapes one ends that action and
// is shown in the standard error box, and the program goes on. Errors never
// unwind through the toolkit's own frames.

#include "platform/dialogs.h"

namespace velmora {

template <class Owner>
auto guarded(Owner* owner, void (Owner::*handler)()) {
    return [owner, handler] { platform::runGuarded([&] { (owner->*handler)(); }); };
}

}  // namespace velmora
