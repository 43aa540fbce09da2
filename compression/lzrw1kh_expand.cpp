// SPDX-License-Identifier: GPL-3.0-or-later
// TLZR::expand: LZRW1/KH chunk expansion, bounded against damaged chunks.
#include <algorithm>
#include <bit>
#include <cstring>

#include "compression/LZRW1KH.h"
#include "compression/lzrw1kh_format.h"

namespace velmora {

using namespace lzrw1kh;

namespace {

// A group of items whose bytes all lie this far inside the chunk, with this
// much room left in the block, needs no bounds checks but those of runs and
// copy offsets: 16 items take at most 64 bytes and a literal copy reads 16;
// they give at most 16 × 18 bytes and a copy writes up to 24.
constexpr std::size_t kGroupReadBound = 16 * 4 + 16;
constexpr std::size_t kGroupWriteBound = 16 * 18 + 32;

// Where expansion stands; kept in locals so that stores of block bytes,
// which may alias anything, do not force reloads.
struct Expansion {
    const std::uint8_t* src;
    std::size_t size;
    std::uint8_t* dst;
    std::size_t capacity;
    std::size_t in;
    std::size_t out;
};

// Repeats `length` bytes from `offset` back, as a byte-by-byte copy would.
[[gnu::always_inline]] inline void copyBack(std::uint8_t* to, std::size_t offset, std::size_t length, bool roomy) {
    const std::uint8_t* from = to - offset;
    if (roomy && offset >= 8) {
        // Three whole words, the most a copy needs, without a loop to
        // mispredict; each reads only bytes that are final by then, and
        // those written past the copy are overwritten by what follows.
        std::memcpy(to, from, 8);
        std::memcpy(to + 8, from + 8, 8);
        std::memcpy(to + 16, from + 16, 8);
    } else if (offset >= length) {
        std::memcpy(to, from, length);
    } else {
        for (std::size_t k = 0; k < length; ++k) {
            to[k] = from[k];  // overlapping: repeats the pattern
        }
    }
}

// Expands one copy or run item at e.in; false for a damaged one. `roomy`
// tells that the group's bounds hold.
[[gnu::always_inline]] inline bool expandMatch(Expansion& e, bool roomy) {
    if (!roomy && e.size - e.in < 2) {
        return false;
    }
    const unsigned value = bigEndian(e.src + e.in);
    const std::size_t offset = value >> 4;
    if (offset == 0) {
        if (e.size - e.in < 4) {
            return false;
        }
        const std::size_t length = bigEndian(e.src + e.in + 1) + kShortestRun;
        if (length > e.capacity - e.out) {
            return false;
        }
        std::memset(e.dst + e.out, e.src[e.in + 3], length);
        e.out += length;
        e.in += 4;
        return true;
    }
    const std::size_t length = (value & 15u) + kShortestCopy;
    if (offset > e.out || (!roomy && length > e.capacity - e.out)) {
        return false;
    }
    copyBack(e.dst + e.out, offset, length, roomy);
    e.out += length;
    e.in += 2;
    return true;
}

// Whether a whole group (or what is left of one) fits the bounds above.
inline bool roomyGroup(const Expansion& e) {
    return e.size - e.in >= kGroupReadBound && e.capacity - e.out >= kGroupWriteBound;
}

// Expands the items of one control word, from its top bit on; false for a
// damaged chunk.
bool expandGroup(Expansion& e, unsigned control) {
    unsigned remaining = kItemsPerControl;
    control &= 0xFFFFu;
    if (roomyGroup(e)) {
        // Far from both ends: a stretch of literals (perhaps none) and the
        // copy or run after it, in turn. Every stretch is moved as 16 bytes,
        // so what decides between literal and copy is never branched on.
        for (;;) {
            const auto zeros = static_cast<unsigned>(std::countl_zero(static_cast<std::uint16_t>(control)));
            const unsigned literals = std::min(zeros, remaining);
            std::memcpy(e.dst + e.out, e.src + e.in, 16);
            e.out += literals;
            e.in += literals;
            remaining -= literals;
            if (remaining == 0) {
                return true;
            }
            control = (control << (literals + 1)) & 0xFFFFu;
            --remaining;
            const bool run = bigEndian(e.src + e.in) < 16;
            if (!expandMatch(e, true)) {
                return false;
            }
            if (remaining == 0) {
                return true;
            }
            if (run && !roomyGroup(e)) {
                break;  // a run may have used up the room
            }
        }
    }
    while (remaining > 0 && e.in < e.size) {
        const bool roomy = roomyGroup(e);
        if ((control & 0x8000u) == 0) {
            // A stretch of literals, as many as the control word has zeros.
            const unsigned zeros = static_cast<unsigned>(std::countl_zero(static_cast<std::uint16_t>(control)));
            unsigned literals = std::min(zeros, remaining);
            if (roomy) {
                std::memcpy(e.dst + e.out, e.src + e.in, 16);
            } else {
                literals = static_cast<unsigned>(std::min<std::size_t>(literals, e.size - e.in));
                if (literals > e.capacity - e.out) {
                    return false;
                }
                std::memcpy(e.dst + e.out, e.src + e.in, literals);
            }
            e.out += literals;
            e.in += literals;
            control = (control << literals) & 0xFFFFu;
            remaining -= literals;
            continue;
        }
        if (!expandMatch(e, roomy)) {
            return false;
        }
        control = (control << 1) & 0xFFFFu;
        --remaining;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> TLZR::expand(std::span<const std::uint8_t> chunk, std::span<std::uint8_t> block) {
    const std::size_t size = chunk.size();
    if (size > kLongestChunk) {
        return std::nullopt;
    }
    if (size < 2) {
        return 0;
    }
    const std::uint8_t* src = chunk.data();
    if (src[0] == kStoredFlag) {
        if (size - 1 > block.size()) {
            return std::nullopt;
        }
        std::copy_n(src + 1, size - 1, block.data());
        return size - 1;
    }
    if (size < 3) {
        return 0;  // a control word without items
    }
    Expansion e{src, size, block.data(), block.size(), 3, 0};
    unsigned control = bigEndian(src + 1);
    for (;;) {
        if (!expandGroup(e, control)) {
            return std::nullopt;
        }
        if (e.in >= size) {
            return e.out;
        }
        // More items follow: they need a control word and at least one item.
        if (size - e.in < 3) {
            return std::nullopt;
        }
        control = bigEndian(src + e.in);
        e.in += 2;
    }
}

}  // namespace velmora
