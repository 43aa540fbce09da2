// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an operator does to the scores of a running list: look through them,
// remove some, ban names and posters. Works on the database directly, beside
// the servers that use it; their pages follow within a second.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "server/ban_rules.h"

namespace velmora::server {

struct ListedScore {
    int64_t id = 0;
    std::string name;
    uint32_t score = 0;
    std::string date;      // as the game sent it
    int64_t received = 0;  // seconds since 1970, UTC
    std::string poster;    // empty for scores stored before poster keys
    bool hidden = false;   // a ban keeps it off the page
};

struct ScoreFilter {
    size_t top = 20;               // at most this many, best first
    std::string namePattern;       // as for a name ban; empty: every name
    std::optional<int64_t> since;  // received at or after, seconds since 1970
};

struct Ban {
    BanKind kind = BanKind::name;
    std::string value;  // the pattern or the poster key
    int64_t made = 0;   // seconds since 1970, UTC
};

class Moderation {
  public:
    virtual ~Moderation() = default;

    virtual std::vector<ListedScore> list(const ScoreFilter& filter) = 0;
    // Deletes the score `id`; returns it, or nothing when there is none.
    virtual std::optional<ListedScore> remove(int64_t id) = 0;
    // False when that ban already exists. The value must be valid for its
    // kind (likePatternOf, isPosterKey).
    virtual bool ban(BanKind kind, const std::string& value) = 0;
    // False when there was no such ban.
    virtual bool unban(BanKind kind, const std::string& value) = 0;
    virtual std::vector<Ban> bans() = 0;
    // Scores a ban hides now.
    virtual uint64_t hiddenBy(BanKind kind, const std::string& value) = 0;
    // The secret poster keys are made with, made (and kept) on first use so
    // that every instance and every restart uses the same one.
    virtual std::string posterSecret() = 0;
};

// For the same --db the server takes; brings an older database up to date.
// An SQLite file must exist. Throws StoreError when it cannot be opened.
std::unique_ptr<Moderation> openModeration(const std::string& database);

std::unique_ptr<Moderation> openSqliteModeration(const std::string& path);
std::unique_ptr<Moderation> openPgModeration(const std::string& uri);

// 32 random bytes in hex, for a new poster secret.
std::string newPosterSecret();

}  // namespace velmora::server
