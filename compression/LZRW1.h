// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tlzrw1: the compression component. It compresses one input (a file, or a
// stream) into a container and expands such a container again:
//
//   offset 0  4 bytes  magic "!HZL" (LZH, mode Good) or "WRZL" (LZRW1/KH, mode Fast)
//   offset 4  4 bytes  uncompressed size, little-endian
//   offset 8  rest     LZH: one bit stream to the end.
//                      LZRW1/KH: chunks, each a 16-bit little-endian length and
//                      the chunk; every 32768-byte block gives one chunk and the
//                      first shorter block (possibly empty) ends the sequence.
//
// Each operation is one self-contained run: it gets its buffers, opens its
// input and output, works, closes and frees. Every failure throws
// ELzrw1Exception with the component's message; in file mode a failure after
// both files are open also closes and deletes the output file.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "compression/LZRW1KH.h"
#include "compression/lzh.h"

namespace velmora {

enum class TCompressMode { Good = 0, Fast = 1, Auto = 2 };

class Tlzrw1 {
public:
    Tlzrw1() = default;  // the LZRW1/KH coder gets its hash table here

    std::string InputFile;   // file to read
    std::string OutputFile;  // file to create or replace
    bool UseStream = false;  // when true the two streams stand in for the files
    // Used only with UseStream. Reading starts at the input's current
    // position and the size stored is what remains from there; output goes
    // to the output's current position.
    std::istream* InputStream = nullptr;
    std::ostream* OutputStream = nullptr;
    TCompressMode CompressMode = TCompressMode::Good;  // the codec of Compress
    std::int32_t Threshold = 40;                       // a percentage, used by Advise

    // Receives every caption the component shows; setting it makes the
    // component "visible", so progress and success captions are shown too.
    std::function<void(const std::string&)> OnCaption;
    // Called after every block read or written, to keep a window responsive.
    // It must not start another operation on this component.
    std::function<void()> OnProcessMessages;

    // Compresses the input with CompressMode (asking Advise first in mode
    // Auto) and returns the bytes written, the 8-byte header included.
    std::int64_t Compress();

    // Expands a container and returns the number of bytes written. Fails when
    // the header is not one of the two magics, when the input ends inside a
    // chunk or a chunk is damaged, and when the size produced differs from
    // the size in the header. Memory use does not depend on that size.
    std::int64_t Decompress();

    // Guesses the better codec for the input: Good below 98304 bytes (and
    // then CompressMode becomes Good), otherwise Fast when two 32768-byte
    // samples from a third and two thirds in shrink below Threshold percent
    // under LZRW1/KH. In stream mode the input's position is restored.
    TCompressMode Advise();

    // The latest caption set.
    const std::string& caption() const { return caption_; }

private:
    friend class Lzrw1Run;

    void setCaption(const std::string& text);
    bool visible() const { return static_cast<bool>(OnCaption); }

    TLZR lzr_;
    TLZH lzh_;
    std::string caption_;
};

}  // namespace velmora
