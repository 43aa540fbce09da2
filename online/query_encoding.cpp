// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/query_encoding.h"

#include "online/http_request.h"

namespace velmora::online {

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string percentEncode(std::string_view text, std::string_view keep) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte) || keep.find(c) != std::string_view::npos) {
            out += c;
        } else {
            appendPercentEscape(out, byte);
        }
    }
    return out;
}

}  // namespace velmora::online
