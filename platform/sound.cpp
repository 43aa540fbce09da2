// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound.h"

#include <algorithm>

namespace velmora::platform {

namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<std::string> soundResourceFor(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), upperAscii);
    for (auto resource : kSoundResources) {
        if (resource == upper) {
            return upper;
        }
    }
    return std::nullopt;
}

void playSoundRequest(SoundPlayer& player, bool playSounds, std::string_view name) {
    if (!playSounds) {
        return;
    }
    if (auto resource = soundResourceFor(name)) {
        player.play(*resource);
    } else {
        player.stop();
    }
}

}  // namespace velmora::platform
