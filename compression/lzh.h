// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TLZH: the LZH coder behind mode Good of the compression component. An LZSS
// coder over a 4096-byte ring (matches of 3 to 60 bytes) whose literals and
// match lengths share one adaptive Huffman code and whose match positions use
// a fixed prefix code. The bit stream holds no length and no end mark: the
// reader must be told how many bytes to produce.

#include <cstdint>

#include "compression/byte_stream.h"

namespace velmora {

class TLZH {
public:
    // Codes everything `read` delivers and hands the bit stream to `write`
    // (in blocks; it never calls write with count 0). Returns the number of
    // input bytes. Equal input always gives equal bytes; an empty input gives
    // no bytes at all. Throws ElzhException when the tables cannot be had;
    // anything `read` or `write` throws passes through.
    std::uint64_t pack(const ReadBytes& read, const WriteBytes& write);

    // Decodes the bit stream `read` delivers until `size` bytes are produced,
    // reading zero bits past its end, and writes them to `write` (in blocks,
    // never count 0). Never writes more than `size` bytes. Returns the number
    // of bytes the stream coded: `size`, or more when the last match ran past
    // it, or less when the zero bits past the stream's end would have to
    // produce more than a few KiB (only a damaged stream does either).
    // Memory use does not depend on `size`. Throws ElzhException when the
    // tables cannot be had; anything `read` or `write` throws passes through.
    std::uint64_t unpack(std::uint64_t size, const ReadBytes& read, const WriteBytes& write);
};

}  // namespace velmora
