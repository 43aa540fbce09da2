// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing an HTTP request head that no address or header value can break.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::online {

// `target` as it may stand in a request line: every byte that is not allowed
// there (controls, space, bytes of 0x7F and above, '"', '#', '<', '>', '\\',
// '^', '`', '{', '|', '}') becomes %XX, and so does a '%' that does not start
// a valid %XX escape. Everything else, '&', '=', '/', '?' included, stays.
// A plain name such as "Guest" comes out unchanged.
std::string encodeRequestTarget(std::string_view target);

// Appends `c` as "%XX" (upper-case hex).
void appendPercentEscape(std::string& out, unsigned char c);

using HeaderLines = std::vector<std::pair<std::string, std::string>>;

// The request head: "<method> <encoded target> HTTP/<version>", the header
// lines in the given order, an empty line; every line ended by CR LF. Control
// characters in header values become spaces, so no value can add a line.
std::string buildRequestHead(std::string_view method, std::string_view target, std::string_view version,
                             const HeaderLines& headers);

}  // namespace velmora::online
