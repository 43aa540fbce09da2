// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/client_address.h"

#include <arpa/inet.h>

#include <algorithm>

namespace velmora::server {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string canonicalAddress(std::string_view text) {
    if (text.size() >= INET6_ADDRSTRLEN) {
        return "";
    }
    std::string copy(text);
    unsigned char bytes[16];
    char out[INET6_ADDRSTRLEN];
    if (inet_pton(AF_INET, copy.c_str(), bytes) == 1) {
        return inet_ntop(AF_INET, bytes, out, sizeof out);
    }
    if (inet_pton(AF_INET6, copy.c_str(), bytes) == 1) {
        return inet_ntop(AF_INET6, bytes, out, sizeof out);
    }
    return "";
}


std::string clientAddress(std::string_view peer, std::string_view forwardedFor,
                          const std::vector<std::string>& trustedProxies) {
    if (forwardedFor.empty() ||
        std::find(trustedProxies.begin(), trustedProxies.end(), peer) == trustedProxies.end()) {
        return std::string(peer);
    }
    size_t comma = forwardedFor.rfind(',');
    std::string last = canonicalAddress(
        trim(comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1)));
    return last.empty() ? std::string(peer) : last;
}

std::string senderOf(std::string_view address) {
    std::string copy(address.substr(0, INET6_ADDRSTRLEN));
    unsigned char bytes[16] = {};
    if (copy.find(':') == std::string::npos || inet_pton(AF_INET6, copy.c_str(), bytes) != 1) {
        return std::string(address);
    }
    // An IPv4 address written as IPv6 is a whole address of its own.
    static const unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    if (std::equal(kMappedPrefix, kMappedPrefix + 12, bytes)) {
        return std::string(address);
    }
    std::fill(bytes + 8, bytes + 16, 0);
    char out[INET6_ADDRSTRLEN];
    return std::string(inet_ntop(AF_INET6, bytes, out, sizeof out)) + "/64";
}

}  // namespace velmora::server
