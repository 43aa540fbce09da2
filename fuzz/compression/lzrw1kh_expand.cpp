// SPDX-License-Identifier: GPL-3.0-or-later
// Property: expanding any chunk either rejects it or yields at most 32768
// bytes without touching memory out of bounds, and compressing those bytes
// gives a chunk that expands to them again.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "compression/LZRW1KH.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static velmora::TLZR coder;
    static std::array<std::uint8_t, velmora::TLZR::kBlockSize> block;
    static std::array<std::uint8_t, velmora::TLZR::kBlockSize + velmora::TLZR::kChunkSpare> chunk;
    static std::array<std::uint8_t, velmora::TLZR::kBlockSize> again;

    const auto produced = velmora::TLZR::expand({data, size}, block);
    if (!produced) {
        return 0;
    }
    if (*produced > block.size()) {
        std::abort();
    }
    const std::size_t chunk_size = coder.compress({block.data(), *produced}, chunk);
    if (chunk_size > *produced + 1) {
        std::abort();
    }
    const auto round_trip = velmora::TLZR::expand({chunk.data(), chunk_size}, again);
    if (!round_trip || *round_trip != *produced || std::memcmp(again.data(), block.data(), *produced) != 0) {
        std::abort();
    }
    return 0;
}
