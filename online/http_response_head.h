// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the head of an HTTP response: status line and the few headers the
// program uses. The bytes come from the network and are not trusted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::online {

// A head larger than this is refused rather than buffered.
inline constexpr size_t kMaxResponseHead = 64 * 1024;

struct ResponseHead {
    int status = 0;                       // 100 to 999
    std::string reason;                   // the reason phrase, may be empty
    std::optional<std::string> location;  // the first Location header
    // None when a Transfer-Encoding header is present: the coding then
    // says where the body ends.
    std::optional<uint64_t> contentLength;
    bool chunked = false;  // the last transfer coding is "chunked"

    // An interim reply (1xx): a final one follows it on the same connection.
    bool isInterim() const { return status >= 100 && status < 200; }
};

enum class HeadState { incomplete, complete, malformed };

struct HeadParse {
    HeadState state = HeadState::incomplete;
    ResponseHead head;
    size_t headLength = 0;  // bytes of the head, its closing empty line included
};

// The index just past the empty line that closes a head in `bytes`, looking
// for it from `from` on (the bytes before `from` are known to hold none of
// it, which keeps a head that arrives byte by byte linear); npos when absent.
size_t findResponseHeadEnd(std::string_view bytes, size_t from = 0);

// Parses the head at the start of `bytes` (the response received so far).
// incomplete: the empty line that closes the head has not arrived yet and
// the head is still within kMaxResponseHead. complete: `head` and
// `headLength` are set; the body starts at bytes[headLength]. malformed: not
// an HTTP response, or a head too long. Lines may end in CR LF or LF alone.
// Reads only within `bytes`.
HeadParse parseResponseHead(std::string_view bytes);

}  // namespace velmora::online
