#include "engine/piece_random.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

TEST(PieceRandom, FirstDrawsFromSeedZero) {
    // seed 0 -> 1 -> 134775814 -> 134775813 * 134775814 + 1 mod 2^32 ...
    PieceRandom random(0);
    EXPECT_EQ(random.nextType(), 0);  // 1 * 7 < 2^32
    EXPECT_EQ(random.seed(), 1u);
    EXPECT_EQ(random.nextType(), 0);  // 134775814 * 7 < 2^32
    EXPECT_EQ(random.seed(), 134775814u);
}

TEST(PieceRandom, TypesAreSpreadEvenlyAndMayRepeat) {
    PieceRandom random(424242);
    std::array<int, 7> counts{};
    int repeats = 0;
    int previous = -1;
    const int draws = 70000;
    for (int i = 0; i < draws; ++i) {
        const int type = random.nextType();
        ASSERT_LT(type, 7);
        ++counts[type];
        repeats += type == previous;
        previous = type;
    }
    for (int count : counts) {
        EXPECT_NEAR(count, draws / 7, 500);
    }
    EXPECT_NEAR(repeats, draws / 7, 500);
}

TEST(PieceRandom, SeedFromTimeOfDayCountsMilliseconds) {
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(0, 0, 0, 0), 0u);
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(0, 0, 1, 5), 1005u);
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(1, 2, 3, 4), 3723004u);
    EXPECT_EQ(PieceRandom::seedFromTimeOfDay(23, 59, 59, 999), 86399999u);
}

}  // namespace
}  // namespace velmora::engine
