// SPDX-License-Identifier: GPL-3.0-or-later
// Moderation of an SQLite score file, on a connection of its own beside the
// server's: WAL lets it read and write while the server posts.
#include <sqlite3.h>

#include <filesystem>
#include <functional>

#include "server/moderation.h"
#include "server/schema_migration.h"
#include "server/store.h"

namespace velmora::server {

namespace {

class Statement {
  public:
    Statement(sqlite3* connection, const std::string& sql) : connection_(connection) {
        if (sqlite3_prepare_v2(connection, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
            throw StoreError(sqlite3_errmsg(connection));
        }
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind(int index, int64_t number) {
        sqlite3_bind_int64(statement_, index, number);
        return *this;
    }
    // True while there is a row; throws on an error.
    bool step() {
        int status = sqlite3_step(statement_);
        if (status != SQLITE_ROW && status != SQLITE_DONE) {
            throw StoreError(sqlite3_errmsg(connection_));
        }
        return status == SQLITE_ROW;
    }
    int64_t number(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string text(int column) const {
        const unsigned char* value = sqlite3_column_text(statement_, column);
        return value != nullptr ? reinterpret_cast<const char*>(value) : "";
    }

  private:
    sqlite3* connection_;
    sqlite3_stmt* statement_ = nullptr;
};

const std::string kScoreColumns =
    "id, name, score, date, posted, coalesce(poster, ''), " +
    bannedCondition(SqlEngine::sqlite, "scores.name", "scores.poster");

ListedScore listedFrom(const Statement& row) {
    return {row.number(0),     row.text(1),   static_cast<uint32_t>(row.number(2)),
            row.text(3),       row.number(4), row.text(5),
            row.number(6) != 0};
}

class SqliteModeration : public Moderation {
  public:
    explicit SqliteModeration(const std::string& path) {
        // Never creates a file: a mistyped path must not look like an empty list.
        if (!std::filesystem::exists(path)) {
            throw StoreError("no score database at " + path);
        }
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw StoreError("cannot open " + path + ": " + reason);
        }
        // A server's write-back may hold the file for a moment.
        sqlite3_busy_timeout(db_, 5000);
        try {
            if (!Statement(db_,
                           "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'scores'")
                     .step()) {
                throw StoreError(path + " is not a score database");
            }
            migrateSqliteSchema(db_);
        } catch (...) {
            sqlite3_close(db_);
            throw;
        }
    }
    ~SqliteModeration() override { sqlite3_close(db_); }

    std::vector<ListedScore> list(const ScoreFilter& filter) override {
        Statement query(
            db_, "SELECT " + kScoreColumns +
                     " FROM scores WHERE (?1 = '' OR name LIKE ?1 ESCAPE '\\') AND posted >= ?2"
                     " ORDER BY score DESC, id DESC LIMIT ?3");
        query
            .bind(1, filter.namePattern.empty() ? std::string() : likePatternOf(filter.namePattern))
            .bind(2, filter.since.value_or(INT64_MIN))
            .bind(3, static_cast<int64_t>(filter.top));
        std::vector<ListedScore> scores;
        while (query.step()) {
            scores.push_back(listedFrom(query));
        }
        return scores;
    }

    std::optional<ListedScore> remove(int64_t id) override {
        Statement remove(db_, "DELETE FROM scores WHERE id = ?1 RETURNING " + kScoreColumns);
        remove.bind(1, id);
        if (!remove.step()) {
            return std::nullopt;
        }
        ListedScore removed = listedFrom(remove);
        while (remove.step()) {
        }
        countChange();
        return removed;
    }

    bool ban(BanKind kind, const std::string& value) override {
        Statement insert(db_,
                         "INSERT OR IGNORE INTO bans (kind, value, pattern) VALUES (?1, ?2, ?3)");
        insert.bind(1, std::string(banKindName(kind)))
            .bind(2, value)
            .bind(3, kind == BanKind::name ? likePatternOf(value) : value);
        insert.step();
        bool made = sqlite3_changes(db_) > 0;
        countChange();
        return made;
    }

    bool unban(BanKind kind, const std::string& value) override {
        Statement remove(db_, "DELETE FROM bans WHERE kind = ?1 AND value = ?2");
        remove.bind(1, std::string(banKindName(kind))).bind(2, value);
        remove.step();
        bool lifted = sqlite3_changes(db_) > 0;
        countChange();
        return lifted;
    }

    std::vector<Ban> bans() override {
        Statement query(db_, "SELECT kind, value, made FROM bans ORDER BY made, kind, value");
        std::vector<Ban> bans;
        while (query.step()) {
            bans.push_back({query.text(0) == "name" ? BanKind::name : BanKind::poster,
                            query.text(1), query.number(2)});
        }
        return bans;
    }

    uint64_t hiddenBy(BanKind kind, const std::string& value) override {
        Statement query(db_, kind == BanKind::name
                                 ? "SELECT count(*) FROM scores WHERE name LIKE ?1 ESCAPE '\\'"
                                 : "SELECT count(*) FROM scores WHERE poster = ?1");
        query.bind(1, kind == BanKind::name ? likePatternOf(value) : value);
        query.step();
        return static_cast<uint64_t>(query.number(0));
    }

    std::string posterSecret() override {
        Statement insert(
            db_,
            "INSERT OR IGNORE INTO server_settings (name, value) VALUES ('poster_secret', ?1)");
        insert.bind(1, newPosterSecret());
        insert.step();
        Statement query(db_, "SELECT value FROM server_settings WHERE name = 'poster_secret'");
        if (!query.step()) {
            throw StoreError("no poster secret");
        }
        return query.text(0);
    }

  private:
    // Tells the servers on this file to render their pages again: they
    // look at this count a few times a second.
    void countChange() {
        Statement(db_,
                  "INSERT INTO server_settings (name, value) VALUES ('changes', 1)"
                  " ON CONFLICT (name) DO UPDATE SET value = value + 1")
            .step();
    }

    sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<Moderation> openSqliteModeration(const std::string& path) {
    return std::make_unique<SqliteModeration>(path);
}

}  // namespace velmora::server
