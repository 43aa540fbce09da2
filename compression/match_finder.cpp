#include "compression/match_finder.h"

#include <bit>
#include <cstring>

namespace velmora {

namespace {

// Eight bytes as a big-endian number, so that comparing two such numbers
// compares the byte strings.
inline std::uint64_t loadBigEndian(const std::uint8_t* at) {
    std::uint64_t value;
    std::memcpy(&value, at, sizeof value);
    if constexpr (std::endian::native == std::endian::little) {
        value = __builtin_bswap64(value);
    }
    return value;
}

// The number of equal leading bytes of two strings known to agree on their
// first 9, up to `limit`; sets `key_after` when `key` sorts after `other` at
// the first difference. Bytes past `limit` may be read but never count.
inline unsigned longCommonLength(const std::uint8_t* key, const std::uint8_t* other, unsigned limit,
                                 bool& key_after) {
    for (unsigned i = 9; i < limit; i += 8) {
        const std::uint64_t a = loadBigEndian(key + i);
        const std::uint64_t b = loadBigEndian(other + i);
        if (a != b) {
            const unsigned length = i + static_cast<unsigned>(std::countl_zero(a ^ b)) / 8;
            key_after = a > b;
            return length < limit ? length : limit;
        }
    }
    return limit;
}

}  // namespace

MatchFinder::MatchFinder(const std::uint8_t* ring) : ring_(ring) {
    for (auto& pair : children_) {
        pair = {kNone, kNone};
    }
    parent_.fill(kNone);
}

void MatchFinder::insert(unsigned r) {
    // Most comparisons are settled by the eight bytes after the first, so
    // those of the key are loaded once; the choices below avoid branches,
    // which the walk's data-dependent turns would mostly mispredict.
    const std::uint8_t* key = ring_ + r;
    const std::uint64_t head = loadBigEndian(key + 1);
    unsigned p = kFirstRoot + key[0];
    unsigned direction = kRight;
    // The best match so far as one number, length above the nearness
    // (4096 - distance): a longer match wins, among equally long ones the
    // nearest, and a plain maximum keeps it.
    unsigned best = 0;
    children_[r] = {kNone, kNone};
    // Both children of the current node, loaded before the comparison that
    // picks one, so that the next node's load does not wait for the choice.
    std::uint32_t pair = bothChildren(p);
    for (;;) {
        const unsigned next = (pair >> (16 * direction)) & 0xFFFFu;
        if (next == kNone) {
            children_[p][direction] = static_cast<std::uint16_t>(r);
            parent_[r] = static_cast<std::uint16_t>(p);
            break;
        }
        p = next;
        pair = bothChildren(p);
        const std::uint64_t other = loadBigEndian(ring_ + p + 1);
        unsigned length;
        bool key_after = true;  // unused when the whole look-ahead matches
        if (head != other) {
            length = 1 + static_cast<unsigned>(std::countl_zero(head ^ other)) / 8;
            key_after = head > other;
        } else {
            length = longCommonLength(key, ring_ + p, kLongestMatch, key_after);
        }
        direction = key_after ? kRight : kLeft;
        const unsigned nearness = (p - r) & (kRingSize - 1);  // 4096 - distance
        const unsigned counts = 0u - static_cast<unsigned>(length > 2);  // all ones or zero
        const unsigned score = ((length << 12) | nearness) & counts;
        best = score > best ? score : best;
        if (length >= kLongestMatch) {
            // r equals p over the whole look-ahead: r takes p's place.
            parent_[r] = parent_[p];
            children_[r] = children_[p];
            parent_[left(p)] = static_cast<std::uint16_t>(r);
            parent_[right(p)] = static_cast<std::uint16_t>(r);
            replace(p, r);
            break;
        }
    }
    match_length_ = best >> 12;
    match_position_ = (kRingSize - 1) - (best & (kRingSize - 1));
}

void MatchFinder::replace(unsigned old_node, unsigned new_node) {
    const unsigned above = parent_[old_node];
    if (right(above) == old_node) {
        right(above) = static_cast<std::uint16_t>(new_node);
    } else {
        left(above) = static_cast<std::uint16_t>(new_node);
    }
    parent_[old_node] = kNone;
}

void MatchFinder::remove(unsigned p) {
    if (parent_[p] == kNone) {
        return;
    }
    unsigned q;
    if (right(p) == kNone) {
        q = left(p);
    } else if (left(p) == kNone) {
        q = right(p);
    } else {
        q = left(p);
        if (right(q) != kNone) {
            // The rightmost node of the left subtree is unhooked first.
            do {
                q = right(q);
            } while (right(q) != kNone);
            right(parent_[q]) = left(q);
            parent_[left(q)] = parent_[q];
            left(q) = left(p);
            parent_[left(p)] = static_cast<std::uint16_t>(q);
        }
        right(q) = right(p);
        parent_[right(p)] = static_cast<std::uint16_t>(q);
    }
    parent_[q] = parent_[p];
    replace(p, q);
}

}  // namespace velmora
