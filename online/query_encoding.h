// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text put into a URL's query.

#include <string>
#include <string_view>

namespace velmora::online {

// `text` with every byte percent-encoded ("%2F", upper-case hex) except the
// unreserved URL characters (ASCII letters, digits, "-", ".", "_", "~") and
// the characters in `keep`. UTF-8 text goes byte by byte, so a server that
// decodes the query gets back exactly `text`.
std::string percentEncode(std::string_view text, std::string_view keep = {});

}  // namespace velmora::online
