#include "compression/LZRW1KH.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

#include "compression/compression_error.h"

namespace velmora {

namespace {

constexpr std::uint8_t kCodedFlag = 0x40;
constexpr std::uint8_t kStoredFlag = 0x80;
constexpr std::size_t kHashSize = 4096;
constexpr std::uint16_t kEmpty = 0xFFFF;
constexpr std::size_t kLongestRun = 4095;
constexpr std::size_t kShortestRun = 16;
constexpr std::size_t kLongestCopy = 18;
constexpr std::size_t kShortestCopy = 3;
constexpr std::size_t kFarthestOffset = 4095;
constexpr unsigned kItemsPerControl = 16;

unsigned hashIndex(const std::uint8_t* at) {
    const std::uint32_t h = ((((static_cast<std::uint32_t>(at[0]) << 4) ^ at[1]) << 4) ^ at[2]);
    return ((h * 40543u) >> 4) & (kHashSize - 1);
}

void putBigEndian(std::uint8_t* at, unsigned value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value);
}

unsigned bigEndian(const std::uint8_t* at) { return (static_cast<unsigned>(at[0]) << 8) | at[1]; }

std::size_t runLength(const std::uint8_t* from, std::size_t available) {
    const std::size_t limit = std::min(available, kLongestRun);
    const std::uint8_t byte = from[0];
    std::size_t length = 1;
    while (length < limit && from[length] == byte) {
        ++length;
    }
    return length;
}

// The number of equal leading bytes of `a` and `b`, up to `available` and
// at most 18. `b` lies before `a`, so reading `a`'s bytes suffices to stay in
// bounds; eight bytes are compared at a time while a whole word fits.
std::size_t matchLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t available) {
    const std::size_t limit = std::min(available, kLongestCopy);
    std::size_t length = 0;
    if (available >= kLongestCopy + 6) {
        for (; length < limit; length += 8) {
            std::uint64_t x;
            std::uint64_t y;
            std::memcpy(&x, a + length, sizeof x);
            std::memcpy(&y, b + length, sizeof y);
            if (x != y) {
                const std::uint64_t difference = x ^ y;
                const auto first = std::endian::native == std::endian::little
                                       ? static_cast<std::size_t>(std::countr_zero(difference)) / 8
                                       : static_cast<std::size_t>(std::countl_zero(difference)) / 8;
                return std::min(length + first, limit);
            }
        }
        return limit;
    }
    while (length < limit && a[length] == b[length]) {
        ++length;
    }
    return length;
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
    std::size_t out = 1;
    std::size_t p = 0;
    // One group of up to 16 items per control word; a control word is only
    // reserved when an item follows it.
    while (p < n && out <= n) {
        const std::size_t control_at = out;
        out += 2;
        unsigned control = 0;
        unsigned items = 0;
        do {
            control <<= 1;
            if (p + 1 < n && src[p + 1] == src[p]) {
                const std::size_t run = runLength(src + p, n - p);
                if (run >= kShortestRun) {
                    dst[out] = 0;
                    putBigEndian(dst + out + 1, static_cast<unsigned>(run - kShortestRun));
                    dst[out + 3] = src[p];
                    out += 4;
                    p += run;
                    control |= 1u;
                    continue;
                }
            }
            // Fewer than 3 bytes left can only give a literal, whatever the
            // table says, so the bytes past the block are never looked at.
            if (n - p < kShortestCopy) {
                dst[out++] = src[p++];
                continue;
            }
            std::uint16_t& entry = hash[hashIndex(src + p)];
            const std::size_t distance = p - entry;  // huge for an empty entry
            entry = static_cast<std::uint16_t>(p);
            // Literal or copy is decided without branches, which text would
            // mostly mispredict: both are written and only one is kept.
            const bool near = distance <= kFarthestOffset;
            const std::size_t length = matchLength(src + p, src + (near ? p - distance : 0), n - p);
            const bool copy = near && length >= kShortestCopy;
            const auto value = static_cast<unsigned>((distance << 4) | (length - kShortestCopy));
            dst[out] = copy ? static_cast<std::uint8_t>(value >> 8) : src[p];
            dst[out + 1] = static_cast<std::uint8_t>(value);
            out += copy ? 2 : 1;
            p += copy ? length : 1;
            control |= copy ? 1u : 0u;
        } while (++items < kItemsPerControl && p < n && out <= n);
        putBigEndian(dst + control_at, control << (kItemsPerControl - items));
    }
    if (out > n) {
        dst[0] = kStoredFlag;
        std::copy_n(src, n, dst + 1);
        return n + 1;
    }
    return out;
}

std::optional<std::size_t> TLZR::expand(std::span<const std::uint8_t> chunk, std::span<std::uint8_t> block) {
    const std::size_t size = chunk.size();
    if (size > kLongestChunk) {
        return std::nullopt;
    }
    if (size < 2) {
        return 0;
    }
    const std::uint8_t* src = chunk.data();
    std::uint8_t* dst = block.data();
    const std::size_t capacity = block.size();
    if (src[0] == kStoredFlag) {
        if (size - 1 > capacity) {
            return std::nullopt;
        }
        std::copy_n(src + 1, size - 1, dst);
        return size - 1;
    }
    if (size < 3) {
        return 0;  // a control word without items
    }
    unsigned control = bigEndian(src + 1);
    unsigned bits_left = kItemsPerControl;
    std::size_t in = 3;
    std::size_t out = 0;
    while (in < size) {
        if (bits_left == 0) {
            if (size - in < 2) {
                return std::nullopt;
            }
            control = bigEndian(src + in);
            in += 2;
            bits_left = kItemsPerControl;
            if (in == size) {
                return std::nullopt;  // a control word with no item after it
            }
        }
        if (control & 0x8000u) {
            if (size - in < 2) {
                return std::nullopt;
            }
            const unsigned value = bigEndian(src + in);
            const std::size_t offset = value >> 4;
            if (offset == 0) {
                if (size - in < 4) {
                    return std::nullopt;
                }
                const std::size_t length = bigEndian(src + in + 1) + kShortestRun;
                if (length > capacity - out) {
                    return std::nullopt;
                }
                std::memset(dst + out, src[in + 3], length);
                out += length;
                in += 4;
            } else {
                const std::size_t length = (value & 15u) + kShortestCopy;
                if (offset > out || length > capacity - out) {
                    return std::nullopt;
                }
                const std::uint8_t* from = dst + out - offset;
                if (offset >= length) {
                    std::memcpy(dst + out, from, length);
                } else {
                    for (std::size_t k = 0; k < length; ++k) {
                        dst[out + k] = from[k];  // overlapping: repeats the pattern
                    }
                }
                out += length;
                in += 2;
            }
        } else {
            if (out == capacity) {
                return std::nullopt;
            }
            dst[out++] = src[in++];
        }
        control <<= 1;
        --bits_left;
    }
    return out;
}

}  // namespace velmora
