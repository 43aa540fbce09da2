// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The adaptive Huffman code of the LZH stream: 314 symbols (256 byte values
// and 58 match lengths) in a tree of 627 nodes whose counts are kept in
// non-decreasing order by node index. Encoder and decoder run the same tree,
// so both must call update() after every symbol.

#include <array>
#include <cstdint>

namespace velmora {

class AdaptiveHuffman {
public:
    static constexpr unsigned kSymbols = 314;
    static constexpr unsigned kNodes = 2 * kSymbols - 1;  // 627
    static constexpr unsigned kRoot = kNodes - 1;         // 626
    static constexpr std::uint16_t kCountLimit = 0x8000;  // a full root rebuilds the tree

    // A symbol's code: `length` bits, left-aligned in `bits`.
    struct Code {
        std::uint32_t bits = 0;
        unsigned length = 0;
    };

    // The starting tree: every symbol counted once.
    AdaptiveHuffman();

    // The current code of `symbol` (below kSymbols). Codes stay within 32
    // bits: a leaf that deep would need a root count far above kCountLimit.
    Code codeOf(unsigned symbol) const {
        Code code;
        unsigned node = parent_[symbol + kNodes];
        do {
            code.bits = (code.bits >> 1) | ((node & 1u) << 31);
            ++code.length;
            node = parent_[node];
        } while (node != kRoot);
        return code;
    }

    // Reads one symbol, taking bits from `nextBit` from the root down.
    template <typename NextBit>
    unsigned decode(NextBit&& nextBit) const {
        unsigned node = child_[kRoot];
        while (node < kNodes) {
            node = child_[node + nextBit()];
        }
        return node - kNodes;
    }

    // Counts one more `symbol`, rebuilding first when the root is full.
    void update(unsigned symbol);

private:
    void rebuild();

    std::array<std::uint16_t, kNodes + 1> count_{};             // count_[kNodes] is a stop mark
    std::array<std::uint16_t, kNodes> child_{};                 // >= kNodes: leaf of symbol - kNodes
    std::array<std::uint16_t, kNodes + kSymbols> parent_{};     // [kNodes + s]: leaf node of s
};

}  // namespace velmora
