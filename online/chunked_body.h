// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decoding a body sent with "Transfer-Encoding: chunked": hexadecimal chunk
// sizes, each followed by that many bytes, ended by a chunk of size 0 and
// optional trailer lines. The bytes come from the network and are not
// trusted: every line is bounded, and nothing is buffered beyond one line.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::online {

class ChunkedDecoder {
  public:
    enum class State { more, done, malformed };

    // A size line (with its extensions) or a trailer line longer than this
    // is refused rather than buffered.
    static constexpr size_t kMaxLine = 4096;
    // All trailer lines together.
    static constexpr size_t kMaxTrailers = 64 * 1024;

    // Consumes `bytes`, passing each run of body bytes to `onData` in order.
    // Returns done once the last chunk and its trailers have arrived (bytes
    // after that are ignored), malformed (and stays so) when the bytes are
    // not chunked coding, else more. Reads only within `bytes`.
    State feed(std::string_view bytes, const std::function<void(std::string_view)>& onData);

    State state() const { return state_; }

  private:
    enum class Step { sizeLine, data, dataEnd, trailers };

    // Handles one complete line of the current step.
    void takeLine(std::string_view line);
    // Appends to the line being collected; true when `c` ended it.
    bool collect(char c, size_t limit);

    State state_ = State::more;
    Step step_ = Step::sizeLine;
    uint64_t remaining_ = 0;  // data bytes left in the current chunk
    std::string line_;
    size_t trailerBytes_ = 0;
};

}  // namespace velmora::online
