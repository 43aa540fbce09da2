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

inline constexpr size_t kMaxQuery = 1024;      // bytes of the raw query
inline constexpr size_t kMaxNameChars = 32;    // characters of a decoded name
inline constexpr size_t kMaxDateBytes = 16;
inline constexpr uint32_t kMaxScore = 999'999'999;

struct ScoreEntry {
    std::string name;  // valid UTF-8 without control characters, 1 to kMaxNameChars characters
    std::string date;  // "m<sep>d<sep>yy" as the game wrote it
    uint32_t score = 0;
};

struct QueryError {
    std::string reason;  // a short text for the reply
};

// Decodes the raw query (the part after "?", undecoded). Returns the entry,
// or the reason it is refused: missing or empty field, a name too long, a
// date not of the game's pattern (month 1-12, day 1-31, two-digit year, the
// same one- to three-character separator twice), a score that is not
// 0 to kMaxScore in decimal digits, a query longer than kMaxQuery. Invalid
// UTF-8 in the name becomes "?", control characters are dropped.
std::variant<ScoreEntry, QueryError> decodeScoreQuery(std::string_view query);

// %XX becomes its byte; a "%" not followed by two hex digits stays; "+" stays.
std::string percentDecode(std::string_view text);

}  // namespace velmora::server
