// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a ban is: a name pattern or a poster key. Bans live in the database
// beside the scores, so that every instance sharing it refuses and hides
// the same posts; the stores match them in SQL, with these conditions.

#include <string>
#include <string_view>

namespace velmora::server {

enum class BanKind { name, poster };

enum class SqlEngine { sqlite, postgres };

// Longest name pattern a ban takes, in bytes.
inline constexpr size_t kMaxBanPatternBytes = 128;

// "name" or "poster".
std::string_view banKindName(BanKind kind);

// A name pattern as the operator writes it ("*" any run of characters, "?"
// one character, anything else itself; letters match either case) turned
// into an SQL LIKE pattern escaped with "\". Throws std::invalid_argument
// for an empty or overlong pattern or one with control characters.
std::string likePatternOf(std::string_view glob);

// True for a poster key as the server makes them: 16 lowercase hex digits.
bool isPosterKey(std::string_view text);

// An SQL condition, true when a ban matches the name `nameSql` or the
// poster key `posterSql` (SQL expressions). Letters of names compare
// without regard to case (in SQLite only A to Z).
std::string bannedCondition(SqlEngine engine, std::string_view nameSql, std::string_view posterSql);

}  // namespace velmora::server
