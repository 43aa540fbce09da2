// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/LZRW1KH.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

#include "compression/compression_error.h"
#include "compression/lzrw1kh_format.h"

namespace velmora {

using namespace lzrw1kh;

namespace {

// The hash table slot of the three bytes a, b, c. Only the low 16 bits of
// the product reach the slot, so 16-bit arithmetic gives the same slots and
// lets a whole block's slots be worked out in vector registers.
inline std::uint16_t hashIndex(unsigned a, unsigned b, unsigned c) {
    const auto h = static_cast<std::uint16_t>((a << 8) ^ (b << 4) ^ c);
    return static_cast<std::uint16_t>(static_cast<std::uint16_t>(h * 40543u) >> 4);
}

// The slot of every position of the block that has two bytes after it, ahead
// of coding: the items then look their slots up instead of computing them in
// the dependency chain of the search.
void hashAllPositions(const std::uint8_t* __restrict src, std::size_t n, std::uint16_t* __restrict slots) {
    std::size_t p = 0;
    // Groups of a fixed 16 positions are what the compiler vectorises.
    for (; p + 18 <= n; p += 16) {
        for (std::size_t k = 0; k < 16; ++k) {
            slots[p + k] = hashIndex(src[p + k], src[p + k + 1], src[p + k + 2]);
        }
    }
    for (; p + 2 < n; ++p) {
        slots[p] = hashIndex(src[p], src[p + 1], src[p + 2]);
    }
}

std::size_t runLength(const std::uint8_t* from, std::size_t available) {
    const std::size_t limit = std::min(available, kLongestRun);
    const std::uint8_t byte = from[0];
    std::size_t length = 1;
    while (length < limit && from[length] == byte) {
        ++length;
    }
    return length;
}

std::uint64_t load64(const std::uint8_t* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The length of the run of equal bytes at `from` when it is long enough to
// code as a run (0 otherwise), at most `available` and kLongestRun; at least
// 16 bytes from `from` on are readable. Short runs, which are common in
// text, are turned down by two word compares without a data-dependent branch
// per byte.
std::size_t wordRunLength(const std::uint8_t* from, std::size_t available) {
    const std::uint64_t pattern = from[0] * 0x0101010101010101ull;
    if (((load64(from) ^ pattern) | (load64(from + 8) ^ pattern)) != 0) {
        return 0;
    }
    const std::size_t limit = std::min(available, kLongestRun);
    std::size_t length = kShortestRun;
    while (length + 8 <= limit && load64(from + length) == pattern) {
        length += 8;
    }
    while (length < limit && from[length] == from[0]) {
        ++length;
    }
    return length;
}

// The number of equal leading bytes of `a` and `b`, at most 18; `b` lies
// before `a` and at least 24 bytes from `a` on are readable.
std::size_t wordMatchLength(const std::uint8_t* a, const std::uint8_t* b) {
    for (std::size_t length = 0; length < kLongestCopy; length += 8) {
        const std::uint64_t difference = load64(a + length) ^ load64(b + length);
        if (difference != 0) {
            const auto first = std::endian::native == std::endian::little
                                   ? static_cast<std::size_t>(std::countr_zero(difference)) / 8
                                   : static_cast<std::size_t>(std::countl_zero(difference)) / 8;
            return std::min(length + first, kLongestCopy);
        }
    }
    return kLongestCopy;
}

// The same up to `available` bytes, one at a time, for the end of a block.
std::size_t byteMatchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t available) {
    const std::size_t limit = std::min(available, kLongestCopy);
    std::size_t length = 0;
    while (length < limit && a[length] == b[length]) {
        ++length;
    }
    return length;
}

// The block being coded and where the coder stands in it and in its chunk.
// Kept in locals while coding, so that stores of chunk bytes, which may
// alias anything, do not make the compiler reload them.
struct Coding {
    const std::uint8_t* src;
    std::size_t n;
    std::uint8_t* dst;
    std::uint16_t* hash;
    const std::uint16_t* slots;  // hash table slot of each block position
    std::size_t p;    // next block byte
    std::size_t out;  // next chunk byte
};

// Codes the item at c.p and returns its control bit. kRoomy: at least
// kReadAhead block bytes remain, so words may be read past the item.
constexpr std::size_t kReadAhead = 24;

template <bool kRoomy>
[[gnu::always_inline]] inline unsigned codeItem(Coding& c) {
    const std::size_t available = c.n - c.p;
    const std::uint8_t* at = c.src + c.p;
    if (!kRoomy && available < kShortestCopy) {
        c.dst[c.out++] = at[0];  // too short for a run or a copy
        ++c.p;
        return 0;
    }
    const std::size_t run =
        kRoomy ? wordRunLength(at, available) : (at[1] == at[0] ? runLength(at, available) : 0);
    if (run >= kShortestRun) {
        c.dst[c.out] = 0;
        putBigEndian(c.dst + c.out + 1, static_cast<unsigned>(run - kShortestRun));
        c.dst[c.out + 3] = at[0];
        c.out += 4;
        c.p += run;
        return 1;
    }
    std::uint16_t& entry = c.hash[c.slots[c.p]];
    const std::size_t distance = c.p - entry;  // huge for an empty entry
    entry = static_cast<std::uint16_t>(c.p);
    const bool near = distance <= kFarthestOffset;
    if constexpr (kRoomy) {
        // Whether the candidate is near enough and whether it matches is one
        // decision: two branches on the same random outcome mispredict
        // nearly twice as often. A candidate out of reach is compared with
        // the block's start instead, which is always readable.
        const std::uint8_t* from = near ? at - distance : c.src;
        const std::size_t length = wordMatchLength(at, from);
        if (near & (length >= kShortestCopy)) {
            putBigEndian(c.dst + c.out, static_cast<unsigned>((distance << 4) | (length - kShortestCopy)));
            c.out += 2;
            c.p += length;
            return 1;
        }
    } else if (near) {
        const std::size_t length = byteMatchLength(at, at - distance, available);
        if (length >= kShortestCopy) {
            putBigEndian(c.dst + c.out, static_cast<unsigned>((distance << 4) | (length - kShortestCopy)));
            c.out += 2;
            c.p += length;
            return 1;
        }
    }
    c.dst[c.out++] = at[0];
    ++c.p;
    return 0;
}

// Writes items after the flag byte until the block is used up or the chunk
// has grown beyond the block; returns the chunk's end.
std::size_t codeItems(const std::uint8_t* src, std::size_t n, std::uint8_t* dst, std::uint16_t* hash,
                      const std::uint16_t* slots) {
    Coding c{src, n, dst, hash, slots, 0, 1};
    // One control word per group of up to 16 items, reserved only when an
    // item follows it.
    while (c.p < n && c.out <= n) {
        const std::size_t control_at = c.out;
        c.out += 2;
        unsigned control = 0;
        unsigned items = 0;
        // Away from the block's end (and so, with a coded chunk no larger
        // than the block, away from the chunk's end too) only the count of
        // items needs checking.
        while (items < kItemsPerControl && c.p + kReadAhead <= n && c.out <= n) {
            control = (control << 1) | codeItem<true>(c);
            ++items;
        }
        while (items < kItemsPerControl && c.p < n && c.out <= n) {
            control = (control << 1) | (n - c.p >= kReadAhead ? codeItem<true>(c) : codeItem<false>(c));
            ++items;
        }
        putBigEndian(dst + control_at, control << (kItemsPerControl - items));
    }
    return c.out;
}

}  // namespace

TLZR::TLZR() {
    try {
        hash_ = std::make_unique<std::uint16_t[]>(kHashSize);
        slots_ = std::make_unique<std::uint16_t[]>(kBlockSize);
    } catch (const std::bad_alloc&) {
        throw ELzrw1KHCompressor("LZRW1KH : no memory for HASH table");
    }
}

std::size_t TLZR::compress(std::span<const std::uint8_t> block, std::span<std::uint8_t> chunk) {
    const std::size_t n = block.size();
    if (n > kBlockSize || chunk.size() < n + kChunkSpare) {
        throw std::invalid_argument("TLZR::compress: block too large or chunk buffer too small");
    }
    std::uint16_t* const hash = hash_.get();
    std::fill_n(hash, kHashSize, kEmpty);
    const std::uint8_t* src = block.data();
    std::uint8_t* dst = chunk.data();

    hashAllPositions(src, n, slots_.get());
    dst[0] = kCodedFlag;
    const std::size_t out = codeItems(src, n, dst, hash, slots_.get());
    if (out > n) {
        dst[0] = kStoredFlag;
        std::copy_n(src, n, dst + 1);
        return n + 1;
    }
    return out;
}

}  // namespace velmora
