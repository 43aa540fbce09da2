// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed prefix code for the upper 6 bits of a match's position value:
// value 0 takes 3 bits, 1-3 take 4, 4-11 take 5, 12-23 take 6, 24-47 take 7
// and 48-63 take 8, codes given in increasing order of value.

#include <array>
#include <cstdint>

namespace velmora {

struct PositionCode {
    std::array<std::uint8_t, 64> code{};    // left-aligned in 8 bits
    std::array<std::uint8_t, 64> length{};
    std::array<std::uint8_t, 256> valueOfPrefix{};   // by the first 8 bits read
    std::array<std::uint8_t, 256> lengthOfPrefix{};
};

constexpr PositionCode makePositionCode() {
    PositionCode table;
    unsigned next = 0;
    for (unsigned value = 0; value < 64; ++value) {
        const unsigned length = value < 1 ? 3 : value < 4 ? 4 : value < 12 ? 5 : value < 24 ? 6 : value < 48 ? 7 : 8;
        table.code[value] = static_cast<std::uint8_t>(next);
        table.length[value] = static_cast<std::uint8_t>(length);
        const unsigned span = 1u << (8 - length);
        for (unsigned prefix = next; prefix < next + span; ++prefix) {
            table.valueOfPrefix[prefix] = static_cast<std::uint8_t>(value);
            table.lengthOfPrefix[prefix] = static_cast<std::uint8_t>(length);
        }
        next += span;
    }
    return table;
}

inline constexpr PositionCode kPositionCode = makePositionCode();

}  // namespace velmora
