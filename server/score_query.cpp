// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_query.h"

#include <algorithm>

namespace velmora::server {

namespace {

struct RawFields {
    std::optional<std::string_view> name;
    std::optional<std::string_view> date;
    std::optional<std::string_view> score;
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "name=...&date=...&score=..." in this order, the name taken whole.
std::optional<RawFields> splitFixedOrder(std::string_view query) {
    constexpr std::string_view kName = "name=", kDate = "&date=", kScore = "&score=";
    if (query.substr(0, kName.size()) != kName) {
        return std::nullopt;
    }
    size_t score = query.rfind(kScore);
    if (score == std::string_view::npos) {
        return std::nullopt;
    }
    size_t date = query.substr(0, score).rfind(kDate);
    if (date == std::string_view::npos || date < kName.size()) {
        return std::nullopt;
    }
    return RawFields{query.substr(kName.size(), date - kName.size()),
                     query.substr(date + kDate.size(), score - date - kDate.size()),
                     query.substr(score + kScore.size())};
}

// Any other order: plain "key=value" pairs, the first of each key counting.
RawFields splitPairs(std::string_view query) {
    RawFields fields;
    while (!query.empty()) {
        size_t amp = query.find('&');
        std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        size_t equals = pair.find('=');
        std::string_view key = pair.substr(0, equals);
        std::string_view value = equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1);
        std::optional<std::string_view>* slot = key == "name"    ? &fields.name
                                                : key == "date"  ? &fields.date
                                                : key == "score" ? &fields.score
                                                                 : nullptr;
        if (slot != nullptr && !*slot) {
            *slot = value;
        }
    }
    return fields;
}

// The length of the UTF-8 sequence starting at text[at], 0 if it is invalid.
size_t utf8Length(std::string_view text, size_t at) {
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    unsigned point = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    }
    constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    bool overlong = point < kSmallest[length];
    bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return overlong || surrogate || point > 0x10FFFF ? 0 : length;
}

// Valid UTF-8 without control characters, at most kMaxNameChars characters
// (cut between characters, never inside one); counts the characters kept.
std::string cleanName(std::string_view raw, size_t& characters) {
    std::string name;
    characters = 0;
    for (size_t at = 0; at < raw.size() && characters < kMaxNameChars;) {
        size_t length = utf8Length(raw, at);
        if (length == 0) {
            name += '?';
            ++characters;
            ++at;
            continue;
        }
        auto byte = static_cast<unsigned char>(raw[at]);
        if (length > 1 || (byte >= 0x20 && byte != 0x7F)) {
            name.append(raw.substr(at, length));
            ++characters;
        }
        at += length;
    }
    return name;
}

bool takeNumber(std::string_view& text, size_t minDigits, size_t maxDigits, int& value) {
    size_t digits = 0;
    value = 0;
    while (digits < text.size() && digits < maxDigits && isDigit(text[digits])) {
        value = value * 10 + (text[digits] - '0');
        ++digits;
    }
    text.remove_prefix(digits);
    return digits >= minDigits;
}

// Up to three printable ASCII characters that are neither letters nor digits.
std::string_view takeSeparator(std::string_view& text) {
    auto isSeparator = [](char c) {
        return c >= 0x20 && c <= 0x7E && !isDigit(c) && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z');
    };
    size_t length = 0;
    while (length < text.size() && length < 3 && isSeparator(text[length])) {
        ++length;
    }
    std::string_view separator = text.substr(0, length);
    text.remove_prefix(length);
    return separator;
}

bool isGameDate(std::string_view date) {
    int month = 0, day = 0, year = 0;
    if (!takeNumber(date, 1, 2, month)) {
        return false;
    }
    std::string_view first = takeSeparator(date);
    if (first.empty() || !takeNumber(date, 1, 2, day)) {
        return false;
    }
    std::string_view second = takeSeparator(date);
    return second == first && takeNumber(date, 2, 2, year) && date.empty() && month >= 1 && month <= 12
           && day >= 1 && day <= 31;
}

std::optional<uint32_t> parseScore(std::string_view text) {
    if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), isDigit)) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : text) {
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    return value;
}

}  // namespace

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
        int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (text[i] == '%' && high >= 0 && low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::variant<ScoreEntry, QueryError> decodeScoreQuery(std::string_view query) {
    if (query.size() > kMaxQuery) {
        return QueryError{"query too long"};
    }
    RawFields raw = splitFixedOrder(query).value_or(splitPairs(query));
    if (!raw.name || !raw.date || !raw.score) {
        return QueryError{"name, date and score are needed"};
    }
    ScoreEntry entry;
    size_t characters = 0;
    entry.name = cleanName(percentDecode(*raw.name), characters);
    if (characters == 0) {
        return QueryError{"empty name"};
    }
    entry.date = percentDecode(*raw.date);
    if (entry.date.size() > kMaxDateBytes || !isGameDate(entry.date)) {
        return QueryError{"bad date"};
    }
    std::optional<uint32_t> score = parseScore(percentDecode(*raw.score));
    if (!score) {
        return QueryError{"bad score"};
    }
    entry.score = *score;
    return entry;
}

}  // namespace velmora::server
