// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The piece generator: a 32-bit linear congruential generator whose draws are
// spread evenly over the seven piece types.

#include <cstdint>

namespace velmora::engine {

class PieceRandom {
public:
    explicit PieceRandom(uint32_t seed = 0) : seed_(seed) {}

    void setSeed(uint32_t seed) { seed_ = seed; }
    uint32_t seed() const { return seed_; }

    // Advances the seed (seed * 134775813 + 1, modulo 2^32), then returns the
    // upper 32 bits of the 64-bit product seed * 7: a type from 0 to 6, each
    // equally likely, independent of the types before it.
    uint8_t nextType();

    // The seed the program starts from: the UTC time of day in milliseconds,
    // ((hour * 60 + minute) * 60 + second) * 1000 + millisecond.
    static uint32_t seedFromTimeOfDay(int hour, int minute, int second, int millisecond);

private:
    uint32_t seed_;
};

}  // namespace velmora::engine
