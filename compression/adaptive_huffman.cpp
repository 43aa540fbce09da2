// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/adaptive_huffman.h"

#include <algorithm>

namespace velmora {

AdaptiveHuffman::AdaptiveHuffman() {
    for (unsigned s = 0; s < kSymbols; ++s) {
        count_[s] = 1;
        child_[s] = static_cast<std::uint16_t>(s + kNodes);
        parent_[s + kNodes] = static_cast<std::uint16_t>(s);
    }
    for (unsigned i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        count_[j] = static_cast<std::uint16_t>(count_[i] + count_[i + 1]);
        child_[j] = static_cast<std::uint16_t>(i);
        parent_[i] = parent_[i + 1] = static_cast<std::uint16_t>(j);
    }
    count_[kNodes] = 0xFFFF;
    parent_[kRoot] = 0;
}

void AdaptiveHuffman::update(unsigned symbol) {
    if (count_[kRoot] == kCountLimit) {
        rebuild();
    }
    unsigned node = parent_[symbol + kNodes];
    do {
        const std::uint16_t raised = ++count_[node];
        if (raised > count_[node + 1]) {
            // The highest node still below the raised count changes place
            // with this one, which keeps the counts in order.
            unsigned other = node + 1;
            while (raised > count_[++other]) {
            }
            --other;
            count_[node] = count_[other];
            count_[other] = raised;

            const unsigned mine = child_[node];
            parent_[mine] = static_cast<std::uint16_t>(other);
            if (mine < kNodes) {
                parent_[mine + 1] = static_cast<std::uint16_t>(other);
            }
            const unsigned theirs = child_[other];
            child_[other] = static_cast<std::uint16_t>(mine);
            parent_[theirs] = static_cast<std::uint16_t>(node);
            if (theirs < kNodes) {
                parent_[theirs + 1] = static_cast<std::uint16_t>(node);
            }
            child_[node] = static_cast<std::uint16_t>(theirs);
            node = other;
        }
        node = parent_[node];
    } while (node != 0);
}

void AdaptiveHuffman::rebuild() {
    // Leaves first, in their order, with halved counts.
    unsigned next = 0;
    for (unsigned i = 0; i < kNodes; ++i) {
        if (child_[i] >= kNodes) {
            count_[next] = static_cast<std::uint16_t>((count_[i] + 1) / 2);
            child_[next] = child_[i];
            ++next;
        }
    }
    // Then each inner node, inserted where its count keeps the order.
    for (unsigned i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
        const auto sum = static_cast<std::uint16_t>(count_[i] + count_[i + 1]);
        unsigned place = j - 1;
        while (sum < count_[place]) {
            --place;
        }
        ++place;
        std::copy_backward(count_.begin() + place, count_.begin() + j, count_.begin() + j + 1);
        std::copy_backward(child_.begin() + place, child_.begin() + j, child_.begin() + j + 1);
        count_[place] = sum;
        child_[place] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0; i < kNodes; ++i) {
        const unsigned child = child_[i];
        parent_[child] = static_cast<std::uint16_t>(i);
        if (child < kNodes) {
            parent_[child + 1] = static_cast<std::uint16_t>(i);
        }
    }
}

}  // namespace velmora
