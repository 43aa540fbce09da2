// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The LZH encoder's dictionary search: one ordered binary tree of ring
// positions per first byte, searched and updated as each position enters
// the window and removed as it leaves.

#include <array>
#include <cstdint>

namespace velmora {

class MatchFinder {
public:
    static constexpr unsigned kRingSize = 4096;
    static constexpr unsigned kLongestMatch = 60;
    static constexpr unsigned kNone = kRingSize;  // empty link
    // Bytes of the encoder's ring: kRingSize, then the first kLongestMatch - 1
    // repeated, then kReadSlack more that comparisons may read but never use.
    static constexpr unsigned kRingBytes = kRingSize + kLongestMatch - 1;
    static constexpr unsigned kReadSlack = 8;

    // `ring` holds kRingBytes + kReadSlack bytes and must outlive the
    // finder. All trees start empty.
    explicit MatchFinder(const std::uint8_t* ring);

    // Enters the string at ring position `r` and records the best match for
    // it: the longest (3 bytes or more), the nearest among equally long ones.
    // A string equal to an entered one over the full 60 bytes takes its place.
    void insert(unsigned r);

    // Enters the strings at `r` and at `r2`, the next position, as insert(r)
    // then insert(r2) would, keeping the match of r2, for strings that go
    // into different trees (their first bytes differ). Faster than the two
    // calls because the two searches overlap.
    void insertPair(unsigned r, unsigned r2);

    // True when the string at `p` is in the tree of strings starting with
    // `first`.
    bool inTreeOf(unsigned p, std::uint8_t first) const { return parent_[p] != kNone && ring_[p] == first; }

    // Takes the string at ring position `p` out of its tree, if it is in one.
    void remove(unsigned p);

    // The best match of the latest insert: its length (0 when none) and its
    // position value, (distance - 1) with distance 1 to 4096.
    unsigned matchLength() const { return match_length_; }
    unsigned matchPosition() const { return match_position_; }

private:
    static constexpr unsigned kLeft = 0;
    static constexpr unsigned kRight = 1;
    static constexpr unsigned kFirstRoot = kRingSize + 1;  // the root of byte b is node kFirstRoot + b

    // A search in progress: the key, its bytes 1 to 8, the node reached, the
    // way to go from it, the best match so far and the node's children.
    struct Walk {
        const std::uint8_t* key;
        std::uint64_t head;
        unsigned r;
        unsigned p;
        unsigned direction;
        unsigned best;
        std::uint32_t pair;
    };
    Walk startWalk(unsigned r);
    bool step(Walk& walk);
    void keepMatch(const Walk& walk);

    std::uint16_t& left(unsigned node) { return children_[node][kLeft]; }
    std::uint16_t& right(unsigned node) { return children_[node][kRight]; }
    void replace(unsigned old_node, unsigned new_node);
    // The left child in the low and the right child in the high 16 bits.
    std::uint32_t bothChildren(unsigned node) const {
        return static_cast<std::uint32_t>(children_[node][kLeft]) |
               (static_cast<std::uint32_t>(children_[node][kRight]) << 16);
    }

    const std::uint8_t* ring_;
    // Both children of a node side by side, so the search picks one by index
    // rather than by a branch.
    std::array<std::array<std::uint16_t, 2>, kFirstRoot + 256> children_{};
    std::array<std::uint16_t, kRingSize + 1> parent_{};
    unsigned match_length_ = 0;
    unsigned match_position_ = 0;
};

}  // namespace velmora
