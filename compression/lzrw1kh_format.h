// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The layout of an LZRW1/KH chunk, shared by its coder and its expander.

#include <cstddef>
#include <cstdint>

namespace velmora::lzrw1kh {

inline constexpr std::uint8_t kCodedFlag = 0x40;
inline constexpr std::uint8_t kStoredFlag = 0x80;
inline constexpr std::size_t kHashSize = 4096;
inline constexpr std::uint16_t kEmpty = 0xFFFF;
inline constexpr std::size_t kLongestRun = 4095;
inline constexpr std::size_t kShortestRun = 16;
inline constexpr std::size_t kLongestCopy = 18;
inline constexpr std::size_t kShortestCopy = 3;
inline constexpr std::size_t kFarthestOffset = 4095;
inline constexpr unsigned kItemsPerControl = 16;

inline void putBigEndian(std::uint8_t* at, unsigned value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

inline unsigned bigEndian(const std::uint8_t* at) { return (static_cast<unsigned>(at[0]) << 8) | at[1]; }

}  // namespace velmora::lzrw1kh
