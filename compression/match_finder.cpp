#include "compression/match_finder.h"

namespace velmora {

MatchFinder::MatchFinder(const std::uint8_t* ring) : ring_(ring) {
    right_.fill(kNone);
    left_.fill(kNone);
    parent_.fill(kNone);
}

unsigned MatchFinder::commonLength(unsigned r, unsigned p, int& order) const {
    // The first bytes are equal (same tree); compare from the second on.
    const std::uint8_t* key = ring_ + r;
    const std::uint8_t* other = ring_ + p;
    unsigned i = 1;
    for (; i < kLongestMatch; ++i) {
        order = static_cast<int>(key[i]) - static_cast<int>(other[i]);
        if (order != 0) {
            break;
        }
    }
    return i;
}

void MatchFinder::insert(unsigned r) {
    int order = 1;
    unsigned p = kRingSize + 1 + ring_[r];
    left_[r] = right_[r] = kNone;
    match_length_ = 0;
    for (;;) {
        auto& link = order >= 0 ? right_[p] : left_[p];
        if (link == kNone) {
            link = static_cast<std::uint16_t>(r);
            parent_[r] = static_cast<std::uint16_t>(p);
            return;
        }
        p = link;
        const unsigned length = commonLength(r, p, order);
        if (length > 2) {
            const unsigned position = ((r - p) & (kRingSize - 1)) - 1;
            if (length > match_length_) {
                match_position_ = position;
                match_length_ = length;
                if (length >= kLongestMatch) {
                    break;
                }
            } else if (length == match_length_ && position < match_position_) {
                match_position_ = position;
            }
        }
    }
    // r equals p over the whole look-ahead: r takes p's place.
    parent_[r] = parent_[p];
    left_[r] = left_[p];
    right_[r] = right_[p];
    parent_[left_[p]] = static_cast<std::uint16_t>(r);
    parent_[right_[p]] = static_cast<std::uint16_t>(r);
    replace(p, r);
}

void MatchFinder::replace(unsigned old_node, unsigned new_node) {
    const unsigned above = parent_[old_node];
    if (right_[above] == old_node) {
        right_[above] = static_cast<std::uint16_t>(new_node);
    } else {
        left_[above] = static_cast<std::uint16_t>(new_node);
    }
    parent_[old_node] = kNone;
}

void MatchFinder::remove(unsigned p) {
    if (parent_[p] == kNone) {
        return;
    }
    unsigned q;
    if (right_[p] == kNone) {
        q = left_[p];
    } else if (left_[p] == kNone) {
        q = right_[p];
    } else {
        q = left_[p];
        if (right_[q] != kNone) {
            // The rightmost node of the left subtree is unhooked first.
            do {
                q = right_[q];
            } while (right_[q] != kNone);
            right_[parent_[q]] = left_[q];
            parent_[left_[q]] = parent_[q];
            left_[q] = left_[p];
            parent_[left_[p]] = static_cast<std::uint16_t>(q);
        }
        right_[q] = right_[p];
        parent_[right_[p]] = static_cast<std::uint16_t>(q);
    }
    parent_[q] = parent_[p];
    replace(p, q);
}

}  // namespace velmora
