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

// Every input, built once on first use.
const std::vector<Input>& inputs();

}  // namespace velmora::bench
