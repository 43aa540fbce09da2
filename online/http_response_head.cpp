// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/http_response_head.h"

#include <algorithm>
#include <cctype>

namespace velmora::online {

namespace {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

size_t findResponseHeadEnd(std::string_view bytes, size_t from) {
    for (size_t at = bytes.find('\n', from); at != std::string_view::npos; at = bytes.find('\n', at + 1)) {
        size_t next = at + 1;
        if (next < bytes.size() && bytes[next] == '\n') {
            return next + 1;
        }
        if (next + 1 < bytes.size() && bytes[next] == '\r' && bytes[next + 1] == '\n') {
            return next + 2;
        }
    }
    return std::string_view::npos;
}

namespace {

// "HTTP/<digits>.<digits> <3 digits>[ <reason>]"
bool parseStatusLine(std::string_view line, ResponseHead& head) {
    line = trim(line);
    if (line.size() < 12 || line.substr(0, 5) != "HTTP/") {
        return false;
    }
    size_t space = line.find(' ');
    if (space == std::string_view::npos || space + 4 > line.size()) {
        return false;
    }
    std::string_view code = line.substr(space + 1, 3);
    if (!std::all_of(code.begin(), code.end(), isDigit) || code[0] == '0') {
        return false;
    }
    if (space + 4 < line.size() && line[space + 4] != ' ') {
        return false;
    }
    head.status = (code[0] - '0') * 100 + (code[1] - '0') * 10 + (code[2] - '0');
    head.reason = std::string(trim(line.substr(std::min(line.size(), space + 4))));
    return true;
}

std::optional<uint64_t> parseLength(std::string_view digits) {
    if (digits.empty() || digits.size() > 18 || !std::all_of(digits.begin(), digits.end(), isDigit)) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value;
}

// The last of a comma-separated list of codings.
std::string_view lastCoding(std::string_view value) {
    size_t comma = value.rfind(',');
    return trim(comma == std::string_view::npos ? value : value.substr(comma + 1));
}

bool parseHeaderLine(std::string_view line, ResponseHead& head, bool& transferEncoded) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    std::string_view name = line.substr(0, colon);
    std::string_view value = trim(line.substr(colon + 1));
    if (equalsNoCase(name, "Location") && !head.location) {
        head.location = std::string(value);
    } else if (equalsNoCase(name, "Content-Length")) {
        std::optional<uint64_t> length = parseLength(value);
        if (!length || (head.contentLength && *head.contentLength != *length)) {
            return false;  // conflicting lengths: the body's end is unknown
        }
        head.contentLength = length;
    } else if (equalsNoCase(name, "Transfer-Encoding")) {
        transferEncoded = true;
        head.chunked = equalsNoCase(lastCoding(value), "chunked");
    }
    return true;
}

}  // namespace

HeadParse parseResponseHead(std::string_view bytes) {
    HeadParse result;
    size_t end = findResponseHeadEnd(bytes.substr(0, std::min(bytes.size(), kMaxResponseHead)));
    if (end == std::string_view::npos) {
        bool tooLong = bytes.size() >= kMaxResponseHead;
        bool notHttp = bytes.size() >= 5 && bytes.substr(0, 5) != "HTTP/";
        result.state = tooLong || notHttp ? HeadState::malformed : HeadState::incomplete;
        return result;
    }
    std::string_view head = bytes.substr(0, end);
    size_t lineEnd = head.find('\n');
    bool transferEncoded = false;
    if (!parseStatusLine(head.substr(0, lineEnd), result.head)) {
        result.state = HeadState::malformed;
        return result;
    }
    for (size_t start = lineEnd + 1; start < end;) {
        size_t stop = head.find('\n', start);
        std::string_view line = trim(head.substr(start, stop - start));
        start = stop + 1;
        if (line.empty()) {
            break;
        }
        if (!parseHeaderLine(line, result.head, transferEncoded)) {
            result.state = HeadState::malformed;
            return result;
        }
    }
    if (transferEncoded) {
        result.head.contentLength.reset();
    }
    result.state = HeadState::complete;
    result.headLength = end;
    return result;
}

}  // namespace velmora::online
