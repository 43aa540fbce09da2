// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/ban_rules.h"

#include <stdexcept>

namespace velmora::server {

std::string_view banKindName(BanKind kind) {
    return kind == BanKind::name ? "name" : "poster";
}

std::string likePatternOf(std::string_view glob) {
    if (glob.empty() || glob.size() > kMaxBanPatternBytes) {
        throw std::invalid_argument("a name pattern has 1 to " +
                                    std::to_string(kMaxBanPatternBytes) + " bytes");
    }
    std::string like;
    for (char c : glob) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            throw std::invalid_argument("a name pattern holds no control characters");
        }
        if (c == '*') {
            like += '%';
        } else if (c == '?') {
            like += '_';
        } else {
            if (c == '%' || c == '_' || c == '\\') {
                like += '\\';
            }
            like += c;
        }
    }
    return like;
}

bool isPosterKey(std::string_view text) {
    if (text.size() != 16) {
        return false;
    }
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

std::string bannedCondition(SqlEngine engine, std::string_view nameSql,
                            std::string_view posterSql) {
    // SQLite's LIKE already ignores the case of A to Z; PostgreSQL's does not.
    std::string like = engine == SqlEngine::sqlite ? " LIKE " : " ILIKE ";
    return "EXISTS (SELECT 1 FROM bans WHERE (bans.kind = 'poster' AND bans.value = " +
           std::string(posterSql) + ") OR (bans.kind = 'name' AND " + std::string(nameSql) + like +
           "bans.pattern ESCAPE '\\'))";
}

}  // namespace velmora::server
