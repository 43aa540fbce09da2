// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The inputs of the compression benchmark, each a few MiB: taken from system
// files where they exist (always in the same order), generated otherwise.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::bench {

using Bytes = std::vector<std::uint8_t>;

struct Input {
    std::string name;    // text, source, binary, random, repetitive
    std::string origin;  // where the bytes came from
    Bytes bytes;
};

// The standard inputs, built once on first use.
const std::vector<Input>& inputs();

// The whole of `file` (at most 256 MiB) as an input named after it; throws
// std::runtime_error when it cannot be read.
Input fileInput(const std::string& file);

}  // namespace velmora::bench
