// SPDX-License-Identifier: GPL-3.0-or-later
// The update key is compiled into this file alone, so a new key rebuilds one
// file. The build checks that it is 64 hexadecimal digits.
#include "app/update_signature.h"

#ifndef VELMORA_UPDATE_PUBLIC_KEY
#error "VELMORA_UPDATE_PUBLIC_KEY is set by the build from VELMORA_UPDATE_KEY"
#endif

namespace velmora::update {

PublicKey builtInUpdateKey() {
    auto key = publicKeyFromHex(VELMORA_UPDATE_PUBLIC_KEY);
    return key.value_or(PublicKey{});
}

}  // namespace velmora::update
