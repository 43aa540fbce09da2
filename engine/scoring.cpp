// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/scoring.h"

#include <algorithm>
#include <limits>

namespace velmora::engine {

uint16_t gravityInterval(int level) {
    const int index = std::clamp(level, 1, static_cast<int>(levelspeeds.size())) - 1;
    return levelspeeds[index];
}

uint32_t clearPoints(int fullcount, int startlevel) {
    static constexpr std::array<uint32_t, 5> pointsPerClear{0, 40, 100, 400, 1000};
    if (fullcount < 1 || fullcount > 4 || startlevel < 0) {
        return 0;
    }
    return pointsPerClear[fullcount] * static_cast<uint32_t>(startlevel);
}

uint16_t saturatingAdd(uint16_t value, uint32_t amount) {
    constexpr uint32_t limit = std::numeric_limits<uint16_t>::max();
    const uint32_t headroom = limit - value;
    return static_cast<uint16_t>(amount >= headroom ? limit : value + amount);
}

}  // namespace velmora::engine
