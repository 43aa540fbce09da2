// SPDX-License-Identifier: GPL-3.0-or-later
// Property: unpacking any bit stream for any requested size writes exactly
// that many bytes and codes fewer than 60 more, or, when the zero bits past
// the stream's end would have to produce more than a few KiB, stops there and
// writes what it coded; it never touches memory out of bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "compression/lzh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first two bytes ask for the size, little-endian; the rest is the stream.
    const std::uint64_t wanted = data[0] | (static_cast<std::uint64_t>(data[1]) << 8);
    const uint8_t* stream = data + 2;
    const size_t stream_size = size - 2;
    size_t read_at = 0;
    std::uint64_t written = 0;
    velmora::TLZH coder;
    const std::uint64_t coded = coder.unpack(
        wanted,
        [&](std::uint8_t* to, std::size_t count) {
            const size_t given = count < stream_size - read_at ? count : stream_size - read_at;
            std::memcpy(to, stream + read_at, given);
            read_at += given;
            return given;
        },
        [&](const std::uint8_t*, std::size_t count) { written += count; });
    const bool whole = written == wanted && coded >= wanted && coded < wanted + 60;
    const bool stopped = coded < wanted && written == coded && coded <= stream_size * 8 * 60 + 4096 + 60;
    if (!whole && !stopped) {
        std::abort();
    }
    return 0;
}
