// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who sent a request: the peer address, or behind a trusted proxy (a load
// balancer) the last hop of X-Forwarded-For, which that proxy appended.
// Earlier hops are the client's own word and are never believed.

#include <string>
#include <string_view>
#include <vector>

namespace velmora::server {

// The client's address in numeric form. `forwardedFor` is the header's
// value (empty when absent); it is used only when `peer` is one of
// `trustedProxies` and its last hop is a numeric address.
std::string clientAddress(std::string_view peer, std::string_view forwardedFor,
                          const std::vector<std::string>& trustedProxies);

// The canonical text of a numeric IPv4 or IPv6 address, or "" when `text`
// is none.
std::string canonicalAddress(std::string_view text);

// The part of an address that one sender controls: the whole of an IPv4
// address, the /64 network of an IPv6 one (a single machine is commonly
// handed a whole /64). Anything else is returned unchanged.
std::string senderOf(std::string_view address);

}  // namespace velmora::server
