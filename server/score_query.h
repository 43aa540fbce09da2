// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a score post's query. The game builds it as
// "name=<name>&date=<date>&score=<score>" and inserts the name exactly as
// typed, so a name may itself hold "&" or "="; the fixed order lets us take
// such a name whole. Values are percent-decoded; a "+" stays a "+", since the
// game never writes a space as "+" (its spaces arrive as %20).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace velmora::server {

// Bytes of the raw query: the game may send a name of 2,047 UTF-16 units from
// its settings file, each up to three UTF-8 bytes written as %XX.
inline constexpr size_t kMaxQuery = 20 * 1024;
inline constexpr size_t kMaxNameChars = 32;    // characters of a stored name; longer ones are cut
inline constexpr size_t kMaxDateBytes = 16;
inline constexpr uint32_t kMaxScore = 999'999'999;

struct ScoreEntry {
    std::string name;  // valid UTF-8 without control characters, 1 to kMaxNameChars characters
    std::string date;  // "m<sep>d<sep>yy" as the game wrote it
    uint32_t score = 0;
    std::string poster{};  // the poster key of the sender; empty when not known
};

struct QueryError {
    std::string reason;  // a short text for the reply
};

// Decodes the raw query (the part after "?", undecoded). Returns the entry,
// or the reason it is refused: missing or empty field, a date not of the
// game's pattern (month 1-12, day 1-31, two-digit year, the
// same one- to three-character separator twice), a score that is not
// 0 to kMaxScore in decimal digits, a query longer than kMaxQuery. Invalid
// UTF-8 in the name becomes "?", control characters are dropped, and a name
// longer than kMaxNameChars characters keeps its first kMaxNameChars.
std::variant<ScoreEntry, QueryError> decodeScoreQuery(std::string_view query);

// %XX becomes its byte; a "%" not followed by two hex digits stays; "+" stays.
std::string percentDecode(std::string_view text);

}  // namespace velmora::server
