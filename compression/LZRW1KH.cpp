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

unsigned hashIndex(const std::uint8_t* at) {
    const std::uint32_t h = ((((static_cast<std::uint32_t>(at[0]) << 4) ^ at[1]) << 4) ^ at[2]);
    return ((h * 40543u) >> 4) & (kHashSize - 1);
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
    std::size_t p;    // next block byte
    std::size_t out;  // next chunk byte
};

// Codes the item at c.p and returns its control bit. kRoomy: at least
// kReadAhead block bytes remain, so words may be read past the item.
constexpr std::size_t kReadAhead = 24;

template <bool kRoomy>
inline unsigned codeItem(Coding& c) {
    const std::size_t available = c.n - c.p;
    const std::uint8_t* at = c.src + c.p;
    if (!kRoomy && available < kShortestCopy) {
        c.dst[c.out++] = at[0];  // too short for a run or a copy
        ++c.p;
        return 0;
    }
    if (at[1] == at[0]) {
        const std::size_t run = runLength(at, available);
        if (run >= kShortestRun) {
            c.dst[c.out] = 0;
            putBigEndian(c.dst + c.out + 1, static_cast<unsigned>(run - kShortestRun));
            c.dst[c.out + 3] = at[0];
            c.out += 4;
            c.p += run;
            return 1;
        }
    }
    std::uint16_t& entry = c.hash[hashIndex(at)];
    const std::size_t distance = c.p - entry;  // huge for an empty entry
    entry = static_cast<std::uint16_t>(c.p);
    if (distance <= kFarthestOffset) {
        const std::uint8_t* from = at - distance;
        const std::size_t length = kRoomy ? wordMatchLength(at, from) : byteMatchLength(at, from, available);
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
std::size_t codeItems(const std::uint8_t* src, std::size_t n, std::uint8_t* dst, std::uint16_t* hash) {
    Coding c{src, n, dst, hash, 0, 1};
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

    dst[0] = kCodedFlag;
    const std::size_t out = codeItems(src, n, dst, hash);
    if (out > n) {
        dst[0] = kStoredFlag;
        std::copy_n(src, n, dst + 1);
        return n + 1;
    }
    return out;
}

}  // namespace velmora
