// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/piece_random.h"

#include <gtest/gtest.h>


namespace velmora::engine {
namespace {

// The generator written another way: the step with 64-bit arithmetic and an
// explicit modulus, the type by counting the sevenths of 2^32 the seed has
// passed.
struct ReferenceGenerator {
    uint64_t seed;
    int next() {
        seed = (seed * 134775813ull + 1ull) % 4294967296ull;
        int type = 0;
        for (uint64_t k = 1; k < 7; ++k) {
            const uint64_t threshold = (k * 4294967296ull + 6) / 7;  // ceil(k * 2^32 / 7)
            if (seed >= threshold) {
                type = static_cast<int>(k);
            }
        }
        return type;
    }
};

TEST(PieceRandom, MatchesTheReferenceGeneratorForFixedSeeds) {
    for (uint32_t seed : {0u, 1u, 12345u, 86399999u, 0x80000000u, 0xFFFFFFFFu}) {
        PieceRandom random(seed);
        ReferenceGenerator reference{seed};
        for (int draw = 0; draw < 200; ++draw) {
            ASSERT_EQ(random.nextType(), reference.next()) << "seed " << seed << " draw " << draw;
        }
    }
}

TEST(PieceRandom, SeedFromTimeOfDayCountsMilliseconds) {
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(0, 0, 0, 0), 0u);
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(0, 0, 1, 5), 1005u);
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(1, 2, 3, 4), 3723004u);
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(23, 59, 59, 999), 86399999u);
}

}  // namespace
}  // namespace velmora::engine
