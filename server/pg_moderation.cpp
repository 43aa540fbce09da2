// SPDX-License-Identifier: GPL-3.0-or-later
// Moderation of a PostgreSQL score database, on one connection of its own.
#include <libpq-fe.h>

#include <memory>

#include "server/moderation.h"
#include "server/pg_store.h"
#include "server/schema_migration.h"
#include "server/store.h"

namespace velmora::server {

namespace {

struct ResultFree {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

const std::string kScoreColumns =
    "id, name, score, date, extract(epoch FROM posted)::bigint, coalesce(poster, ''), " +
    bannedCondition(SqlEngine::postgres, "scores.name", "scores.poster");

class PgModeration : public Moderation {
  public:
    explicit PgModeration(const std::string& uri) : uri_(uri) {
        const char* keywords[] = {"connect_timeout", "application_name", "dbname",
                                  "client_encoding", nullptr};
        const char* values[] = {"10", "velmora-admin", uri.c_str(), "UTF8", nullptr};
        connection_ = PQconnectdbParams(keywords, values, 1);
        if (connection_ == nullptr || PQstatus(connection_) != CONNECTION_OK) {
            std::string reason =
                connection_ != nullptr ? PQerrorMessage(connection_) : "out of memory";
            PQfinish(connection_);
            throw StoreError("cannot connect to " + redactUri(uri) + ": " + trimmed(reason));
        }
        PQsetNoticeProcessor(
            connection_, [](void*, const char*) {}, nullptr);
        Result migrated(PQexec(connection_, kPgMigration));
        if (!migrated || PQresultStatus(migrated.get()) != PGRES_COMMAND_OK) {
            std::string reason = PQerrorMessage(connection_);
            PQfinish(connection_);
            throw StoreError("cannot use the scores table in " + redactUri(uri) +
                             " (has a server run on it?): " + trimmed(reason));
        }
    }
    ~PgModeration() override { PQfinish(connection_); }

    std::vector<ListedScore> list(const ScoreFilter& filter) override {
        Result rows =
            run("SELECT " + kScoreColumns +
                    " FROM scores WHERE ($1 = '' OR name ILIKE $1 ESCAPE '\\')"
                    " AND posted >= to_timestamp($2::bigint)"
                    " ORDER BY score DESC, id DESC LIMIT $3",
                {filter.namePattern.empty() ? std::string() : likePatternOf(filter.namePattern),
                 std::to_string(filter.since.value_or(-62135596800)), std::to_string(filter.top)},
                PGRES_TUPLES_OK);
        std::vector<ListedScore> scores;
        for (int row = 0; row < PQntuples(rows.get()); ++row) {
            scores.push_back(listedFrom(rows.get(), row));
        }
        return scores;
    }

    std::optional<ListedScore> remove(int64_t id) override {
        Result rows = run("DELETE FROM scores WHERE id = $1 RETURNING " + kScoreColumns,
                          {std::to_string(id)}, PGRES_TUPLES_OK);
        if (PQntuples(rows.get()) == 0) {
            return std::nullopt;
        }
        return listedFrom(rows.get(), 0);
    }

    bool ban(BanKind kind, const std::string& value) override {
        Result done = run(
            "INSERT INTO bans (kind, value, pattern) VALUES ($1, $2, $3) ON CONFLICT DO NOTHING",
            {std::string(banKindName(kind)), value,
             kind == BanKind::name ? likePatternOf(value) : value},
            PGRES_COMMAND_OK);
        return std::string_view(PQcmdTuples(done.get())) != "0";
    }

    bool unban(BanKind kind, const std::string& value) override {
        Result done = run("DELETE FROM bans WHERE kind = $1 AND value = $2",
                          {std::string(banKindName(kind)), value}, PGRES_COMMAND_OK);
        return std::string_view(PQcmdTuples(done.get())) != "0";
    }

    std::vector<Ban> bans() override {
        Result rows =
            run("SELECT kind, value, extract(epoch FROM made)::bigint FROM bans ORDER BY made, "
                "kind, value",
                {}, PGRES_TUPLES_OK);
        std::vector<Ban> bans;
        for (int row = 0; row < PQntuples(rows.get()); ++row) {
            bans.push_back(
                {std::string_view(PQgetvalue(rows.get(), row, 0)) == "name" ? BanKind::name
                                                                            : BanKind::poster,
                 PQgetvalue(rows.get(), row, 1), std::stoll(PQgetvalue(rows.get(), row, 2))});
        }
        return bans;
    }

    uint64_t hiddenBy(BanKind kind, const std::string& value) override {
        Result rows = run(kind == BanKind::name
                              ? "SELECT count(*) FROM scores WHERE name ILIKE $1 ESCAPE '\\'"
                              : "SELECT count(*) FROM scores WHERE poster = $1",
                          {kind == BanKind::name ? likePatternOf(value) : value}, PGRES_TUPLES_OK);
        return std::stoull(PQgetvalue(rows.get(), 0, 0));
    }

    std::string posterSecret() override {
        run("INSERT INTO server_settings (name, value) VALUES ('poster_secret', $1) ON CONFLICT DO "
            "NOTHING",
            {newPosterSecret()}, PGRES_COMMAND_OK);
        Result rows = run("SELECT value FROM server_settings WHERE name = 'poster_secret'", {},
                          PGRES_TUPLES_OK);
        if (PQntuples(rows.get()) != 1) {
            throw StoreError("no poster secret");
        }
        return PQgetvalue(rows.get(), 0, 0);
    }

  private:
    static std::string trimmed(std::string text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
            text.pop_back();
        }
        return text;
    }

    static ListedScore listedFrom(PGresult* rows, int row) {
        auto text = [&](int column) { return std::string(PQgetvalue(rows, row, column)); };
        return {std::stoll(text(0)),
                text(1),
                static_cast<uint32_t>(std::stoull(text(2))),
                text(3),
                std::stoll(text(4)),
                text(5),
                text(6) == "t"};
    }

    Result run(const std::string& sql, const std::vector<std::string>& values,
               ExecStatusType expected) {
        std::vector<const char*> pointers;
        for (const std::string& value : values) {
            pointers.push_back(value.c_str());
        }
        Result result(PQexecParams(connection_, sql.c_str(), static_cast<int>(values.size()),
                                   nullptr, pointers.data(), nullptr, nullptr, 0));
        if (!result || PQresultStatus(result.get()) != expected) {
            throw StoreError(trimmed(PQerrorMessage(connection_)));
        }
        return result;
    }

    std::string uri_;
    PGconn* connection_ = nullptr;
};

}  // namespace

std::unique_ptr<Moderation> openPgModeration(const std::string& uri) {
    return std::make_unique<PgModeration>(uri);
}

}  // namespace velmora::server
