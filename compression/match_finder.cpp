// SPDX-License-Identifier: GPL-3.0-or-later
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

[[gnu::always_inline]] inline MatchFinder::Walk MatchFinder::startWalk(unsigned r) {
    // Most comparisons are settled by the eight bytes after the first, so
    // those of the key are loaded once.
    const std::uint8_t* key = ring_ + r;
    Walk walk{key, loadBigEndian(key + 1), r, kFirstRoot + key[0], kRight, 0, 0};
    children_[r] = {kNone, kNone};
    walk.pair = bothChildren(walk.p);
    return walk;
}

// One level of the walk; true when it has ended. The choices avoid
// branches, which the walk's data-dependent turns would mostly mispredict.
[[gnu::always_inline]] inline bool MatchFinder::step(Walk& w) {
    const unsigned next = (w.pair >> (16 * w.direction)) & 0xFFFFu;
    if (next == kNone) {
        children_[w.p][w.direction] = static_cast<std::uint16_t>(w.r);
        parent_[w.r] = static_cast<std::uint16_t>(w.p);
        return true;
    }
    const unsigned p = next;
    w.p = p;
    // Both children of the node, loaded before the comparison that picks
    // one, so that the next node's load does not wait for the choice.
    w.pair = bothChildren(p);
    const std::uint64_t other = loadBigEndian(ring_ + p + 1);
    unsigned length;
    bool key_after = true;  // unused when the whole look-ahead matches
    if (w.head != other) {
        length = 1 + static_cast<unsigned>(std::countl_zero(w.head ^ other)) / 8;
        key_after = w.head > other;
    } else {
        length = longCommonLength(w.key, ring_ + p, kLongestMatch, key_after);
    }
    w.direction = key_after ? kRight : kLeft;
    // The best match so far as one number, length above the nearness
    // (4096 - distance): a longer match wins, among equally long ones the
    // nearest, and a plain maximum keeps it.
    const unsigned nearness = (p - w.r) & (kRingSize - 1);
    const unsigned counts = 0u - static_cast<unsigned>(length > 2);  // all ones or zero
    const unsigned score = ((length << 12) | nearness) & counts;
    w.best = score > w.best ? score : w.best;
    if (length >= kLongestMatch) {
        // r equals p over the whole look-ahead: r takes p's place.
        parent_[w.r] = parent_[p];
        children_[w.r] = children_[p];
        parent_[left(p)] = static_cast<std::uint16_t>(w.r);
        parent_[right(p)] = static_cast<std::uint16_t>(w.r);
        replace(p, w.r);
        return true;
    }
    return false;
}

void MatchFinder::keepMatch(const Walk& w) {
    match_length_ = w.best >> 12;
    match_position_ = (kRingSize - 1) - (w.best & (kRingSize - 1));
}

void MatchFinder::insert(unsigned r) {
    Walk walk = startWalk(r);
    while (!step(walk)) {
    }
    keepMatch(walk);
}

void MatchFinder::insertPair(unsigned r, unsigned r2) {
    // Each level of a walk waits for the load of the last; two walks in
    // one loop fill each other's waits.
    Walk first = startWalk(r);
    Walk second = startWalk(r2);
    bool first_done = false;
    bool second_done = false;
    while (!first_done && !second_done) {
        first_done = step(first);
        second_done = step(second);
    }
    while (!first_done) {
        first_done = step(first);
    }
    while (!second_done) {
        second_done = step(second);
    }
    keepMatch(second);
}

void MatchFinder::replace(unsigned old_node, unsigned new_node) {
    // The side is worked out rather than branched on: it is either at random.
    const unsigned above = parent_[old_node];
    const unsigned side = right(above) == old_node ? kRight : kLeft;
    children_[above][side] = static_cast<std::uint16_t>(new_node);
    parent_[old_node] = kNone;
}

void MatchFinder::remove(unsigned p) {
    if (parent_[p] == kNone) {
        return;
    }
    const unsigned lower_left = left(p);
    const unsigned lower_right = right(p);
    unsigned q;
    if (lower_left == kNone || lower_right == kNone) {
        // At most one child, which takes p's place (chosen without a branch).
        q = lower_right == kNone ? lower_left : lower_right;
    } else {
        q = lower_left;
        if (right(q) != kNone) {
            // The rightmost node of the left subtree is unhooked first.
            do {
                q = right(q);
            } while (right(q) != kNone);
            right(parent_[q]) = left(q);
            parent_[left(q)] = parent_[q];
            left(q) = static_cast<std::uint16_t>(lower_left);
            parent_[lower_left] = static_cast<std::uint16_t>(q);
        }
        right(q) = static_cast<std::uint16_t>(lower_right);
        parent_[lower_right] = static_cast<std::uint16_t>(q);
    }
    parent_[q] = parent_[p];
    replace(p, q);
}

}  // namespace velmora
