// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/piece_random.h"

#include "engine/blockshapes.h"

namespace velmora::engine {

uint8_t PieceRandom::nextType() {
    seed_ = seed_ * 134775813u + 1u;  // unsigned arithmetic wraps modulo 2^32
    return static_cast<uint8_t>((uint64_t{seed_} * kPieceTypes) >> 32);
}

uint32_t PieceRandom::seedFromTimeOfDay(int hour, int minute, int second, int millisecond) {
    const int64_t seconds = (int64_t{hour} * 60 + minute) * 60 + second;
    return static_cast<uint32_t>(seconds * 1000 + millisecond);
}

}  // namespace velmora::engine
