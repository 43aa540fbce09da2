// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splitting an http address into what a connection and a request need.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::online {

struct HttpAddress {
    std::string host;    // a name or a numeric address; IPv6 without brackets
    uint16_t port = 80;  // an explicit ":port", else 80
    std::string target;  // the path from its first "/" on, query included; "/" when none
};

// Splits `url`: an optional "http://" (any letter case) is removed, the host
// (with an optional ":port", an IPv6 address in brackets) is the text before
// the first "/", the target is the rest. Returns nullopt for another scheme,
// an empty or malformed host (any character outside letters, digits, "-",
// "." and "_"), or a port that is not a number from 1 to 65535. Never reads
// outside `url`.
std::optional<HttpAddress> splitUrl(std::string_view url);

// The Host header's value: the host, with ":port" when it is not 80.
std::string hostHeaderValue(const HttpAddress& address);

// Resolves a Location header's value against the address it came from: an
// absolute "http://" address stands for itself, a value starting with "/"
// keeps host and port, anything else replaces the last segment of the path.
std::optional<HttpAddress> resolveLocation(const HttpAddress& base, std::string_view location);

}  // namespace velmora::online
