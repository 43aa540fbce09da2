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

    // `ring` is the encoder's ring of kRingSize + kLongestMatch - 1 bytes; it
    // must outlive the finder. All trees start empty.
    explicit MatchFinder(const std::uint8_t* ring);

    // Enters the string at ring position `r` and records the best match for
    // it: the longest (3 bytes or more), the nearest among equally long ones.
    // A string equal to an entered one over the full 60 bytes takes its place.
    void insert(unsigned r);

    // Takes the string at ring position `p` out of its tree, if it is in one.
    void remove(unsigned p);

    // The best match of the latest insert: its length (0 when none) and its
    // position value, (distance - 1) with distance 1 to 4096.
    unsigned matchLength() const { return match_length_; }
    unsigned matchPosition() const { return match_position_; }

private:
    unsigned commonLength(unsigned r, unsigned p, int& order) const;
    void replace(unsigned old_node, unsigned new_node);

    const std::uint8_t* ring_;
    std::array<std::uint16_t, kRingSize + 1> left_{};
    std::array<std::uint16_t, kRingSize + 257> right_{};  // right_[kRingSize + 1 + b]: root of byte b
    std::array<std::uint16_t, kRingSize + 1> parent_{};
    unsigned match_length_ = 0;
    unsigned match_position_ = 0;
};

}  // namespace velmora
