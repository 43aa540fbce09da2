// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/url_split.h"

#include <algorithm>
#include <cctype>

namespace velmora::online {

namespace {

constexpr std::string_view kScheme = "http://";

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size()
           && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
                  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
              });
}

bool isNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool isIpv6Character(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
}

std::optional<uint16_t> parsePort(std::string_view digits) {
    if (digits.empty()) {
        return 80;
    }
    if (digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

// "xyz://" before any other "/".
bool hasScheme(std::string_view url) {
    size_t scheme = url.find("://");
    return scheme != std::string_view::npos && url.substr(0, scheme).find('/') == std::string_view::npos;
}

// Fills host and port from "name", "name:port", "[v6]" or "[v6]:port".
bool splitAuthority(std::string_view authority, HttpAddress& address) {
    std::string_view host;
    std::string_view rest;
    if (!authority.empty() && authority.front() == '[') {
        size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            return false;
        }
        host = authority.substr(1, close - 1);
        rest = authority.substr(close + 1);
        if (!std::all_of(host.begin(), host.end(), isIpv6Character)) {
            return false;
        }
    } else {
        size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
        if (!std::all_of(host.begin(), host.end(), isNameCharacter)) {
            return false;
        }
    }
    if (host.empty() || (!rest.empty() && rest.front() != ':')) {
        return false;
    }
    std::optional<uint16_t> port = parsePort(rest.empty() ? rest : rest.substr(1));
    if (!port) {
        return false;
    }
    address.host = std::string(host);
    address.port = *port;
    return true;
}

}  // namespace

std::optional<HttpAddress> splitUrl(std::string_view url) {
    if (startsWithNoCase(url, kScheme)) {
        url.remove_prefix(kScheme.size());
    }
    if (hasScheme(url)) {
        return std::nullopt;  // some other scheme
    }
    size_t slash = url.find('/');
    std::string_view authority = url.substr(0, slash);
    HttpAddress address;
    if (!splitAuthority(authority, address)) {
        return std::nullopt;
    }
    address.target = slash == std::string_view::npos ? std::string("/") : std::string(url.substr(slash));
    return address;
}

std::string hostHeaderValue(const HttpAddress& address) {
    bool ipv6 = address.host.find(':') != std::string::npos;
    std::string value = ipv6 ? "[" + address.host + "]" : address.host;
    if (address.port != 80) {
        value += ":" + std::to_string(address.port);
    }
    return value;
}

std::optional<HttpAddress> resolveLocation(const HttpAddress& base, std::string_view location) {
    if (hasScheme(location) || startsWithNoCase(location, kScheme)) {
        return splitUrl(location);
    }
    if (location.empty()) {
        return std::nullopt;
    }
    HttpAddress next = base;
    if (location.front() == '/') {
        next.target = std::string(location);
    } else {
        std::string path = base.target.substr(0, base.target.find('?'));
        next.target = std::string(path.substr(0, path.rfind('/') + 1)) + std::string(location);
    }
    return next;
}

}  // namespace velmora::online
