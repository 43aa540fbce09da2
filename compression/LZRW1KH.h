// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TLZR: the LZRW1/KH chunk coder of mode Fast. A block of at most 32768 bytes
// becomes one chunk: a flag byte (40 coded, 80 stored), then, when coded,
// big-endian 16-bit control words each governing the next 16 items, most
// significant bit first (0 literal, 1 copy or run). A copy is 2 bytes
// (offset << 4 | length - 3), a run 4 bytes (0, run length - 16 big-endian,
// the byte). A block that does not shrink is stored.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace velmora {

class TLZR {
public:
    static constexpr std::size_t kBlockSize = 32768;
    // The coder may run a few bytes past the block size before it falls
    // back to storing the block, so a chunk buffer needs this much room.
    static constexpr std::size_t kChunkSpare = 16;
    static constexpr std::size_t kLongestChunk = kBlockSize + 1;

    // Gets the 4096-entry hash table (and a slot for each block position); throws ELzrw1KHCompressor without it.
    TLZR();

    // Codes `block` (at most kBlockSize bytes) into `chunk`, which must hold
    // block.size() + kChunkSpare bytes, and returns the chunk size, at most
    // block.size() + 1. Matches never reach into an earlier block. Throws
    // std::invalid_argument when the sizes break these limits.
    std::size_t compress(std::span<const std::uint8_t> block, std::span<std::uint8_t> chunk);

    // Expands `chunk` into `block` and returns the number of bytes produced
    // (a chunk under 2 bytes gives 0). Returns nothing for a malformed chunk:
    // one longer than kLongestChunk, one that would produce more than
    // block.size() bytes (at most kBlockSize are ever needed), an item cut
    // off by the chunk's end, or a copy reaching back before the block's
    // start. Never reads or writes outside the two spans.
    static std::optional<std::size_t> expand(std::span<const std::uint8_t> chunk,
                                             std::span<std::uint8_t> block);

private:
    std::unique_ptr<std::uint16_t[]> hash_;
    std::unique_ptr<std::uint16_t[]> slots_;  // the hash slot of every position of the block
};

}  // namespace velmora
