// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points for a clear, the gravity interval of each level and the flash
// intervals.

#include <array>
#include <cstdint>

namespace velmora::engine {

// Gravity interval in milliseconds for levels 1 to 10.
inline constexpr std::array<uint16_t, 10> levelspeeds{500, 450, 400, 350, 300,
                                                      250, 200, 150, 120, 80};

// Flash intervals: index 0 while the countdown is even, 1 while it is odd.
inline constexpr std::array<uint16_t, 2> flashspeeds{100, 150};

// Interval the flash starts with, right after the piece settled.
constexpr uint16_t kFlashStartInterval = 20;

// The interval of a level: levelspeeds for 1 to 10; above level 10 gravity
// stays at the level-10 pace; levels below 1 use the level-1 pace.
uint16_t gravityInterval(int level);

// Points for clearing fullcount rows (1 to 4) at startlevel: 40, 100, 400 or
// 1000 times startlevel; 0 for any other row count.
uint32_t clearPoints(int fullcount, int startlevel);

// value + amount, held at 65535 instead of wrapping.
uint16_t saturatingAdd(uint16_t value, uint32_t amount);

}  // namespace velmora::engine
