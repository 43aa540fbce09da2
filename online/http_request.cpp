// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/http_request.h"

#include <cctype>

namespace velmora::online {

namespace {

bool mustEscape(unsigned char c) {
    if (c <= 0x20 || c >= 0x7F) {
        return true;
    }
    constexpr std::string_view kUnsafe = "\"#<>\\^`{|}";
    return kUnsafe.find(static_cast<char>(c)) != std::string_view::npos;
}

bool startsEscape(std::string_view text, size_t at) {
    return at + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[at + 1]))
           && std::isxdigit(static_cast<unsigned char>(text[at + 2]));
}

}  // namespace

void appendPercentEscape(std::string& out, unsigned char c) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
}

std::string encodeRequestTarget(std::string_view target) {
    std::string out;
    out.reserve(target.size());
    for (size_t i = 0; i < target.size(); ++i) {
        auto c = static_cast<unsigned char>(target[i]);
        if (mustEscape(c) || (c == '%' && !startsEscape(target, i))) {
            appendPercentEscape(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string buildRequestHead(std::string_view method, std::string_view target, std::string_view version,
                             const HeaderLines& headers) {
    std::string head;
    head.append(method).append(" ").append(encodeRequestTarget(target)).append(" HTTP/").append(version);
    head += "\r\n";
    for (const auto& [name, value] : headers) {
        head.append(name).append(": ");
        for (char c : value) {
            auto byte = static_cast<unsigned char>(c);
            head += byte < 0x20 || byte == 0x7F ? ' ' : c;
        }
        head += "\r\n";
    }
    head += "\r\n";
    return head;
}

}  // namespace velmora::online
