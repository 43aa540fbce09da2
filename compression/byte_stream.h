// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two byte-stream operations through which the LZH coder meets its input
// and output. Bytes move in blocks so that a coder does not pay a call per byte.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace velmora {

// Delivers up to `count` bytes into `destination` and returns how many it
// delivered; 0 means the input has ended. It may throw to abort the coder.
using ReadBytes = std::function<std::size_t(std::uint8_t* destination, std::size_t count)>;

// Takes `count` bytes from `source`. A call with count 0 asks it to write out
// whatever it still holds. It may throw to abort the coder.
using WriteBytes = std::function<void(const std::uint8_t* source, std::size_t count)>;

}  // namespace velmora
