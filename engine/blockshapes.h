// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven piece shapes in their four rotations, and the unpacked mask form
// the rest of the engine works with.

#include <array>
#include <cstdint>

namespace velmora::engine {

constexpr int kPieceTypes = 7;
constexpr int kRotations = 4;

// A 4 x 4 box of 0/1 cells; cell k lies in box column k % 4 and box row k / 4.
using Mask = std::array<uint8_t, 16>;

// Packed masks: bit 15 is the box's top-left cell, each group of four bits one
// box row, top row first. Stepping to the next rotation turns the shape a
// quarter turn counter-clockwise on screen.
inline constexpr std::array<std::array<uint16_t, kRotations>, kPieceTypes> blockshapes{{
    {0xCC00, 0xCC00, 0xCC00, 0xCC00},  // 0 square
    {0xC440, 0xE800, 0x88C0, 0x2E00},  // 1 L
    {0xC880, 0x8E00, 0x44C0, 0xE200},  // 2 J
    {0x8C40, 0x6C00, 0x8C40, 0x6C00},  // 3 S
    {0x4C80, 0xC600, 0x4C80, 0xC600},  // 4 Z
    {0x4E00, 0x4C40, 0x0E40, 0x4640},  // 5 T
    {0x4444, 0xF000, 0x4444, 0xF000},  // 6 bar
}};

// Cell k of the result is 1 when bit 15 - k of packed is set, else 0.
Mask unpackMask(uint16_t packed);

// The unpacked mask of a piece type (0 to 6) in the rotation turn % 4, so a
// rotation counter may wrap freely. Types outside 0 to 6 give an empty mask.
Mask shapeMask(uint8_t type, uint8_t turn);

}  // namespace velmora::engine
