// SPDX-License-Identifier: GPL-3.0-or-later
// Moderation of a live score list on both engines: bans refuse and hide,
// removal, listing, the poster secret, bringing an old database up to date,
// and a backup taken while scores are posted.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "server/backup.h"
#include "server/moderation.h"
#include "server/store_factory.h"
#include "tests/platform/temp_folder.h"
#include "tests/server/pg_cluster.h"

namespace velmora::server {
namespace {

using namespace std::chrono_literals;
using testing::sharedPgCluster;

enum class Engine { sqlite, postgres };

std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::sqlite ? "SQLite" : "PostgreSQL";
}

std::vector<std::string> namesOn(Store& store) {
    std::vector<std::string> names;
    for (const ScoreEntry& entry : store.best(100)) {
        names.push_back(entry.name);
    }
    return names;
}

// Runs `sql` on the database, as an earlier release of the server would have.
void runSql(Engine engine, const std::string& database, const std::string& sql) {
    if (engine == Engine::sqlite) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
        return;
    }
    PGconn* connection = PQconnectdb(database.c_str());
    PGresult* result = PQexec(connection, sql.c_str());
    EXPECT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << PQerrorMessage(connection);
    PQclear(result);
    PQfinish(connection);
}

class ModerationTest : public ::testing::TestWithParam<Engine> {
  protected:
    void SetUp() override {
        database = GetParam() == Engine::postgres ? sharedPgCluster().createDatabase()
                                                  : folder.file("scores.db");
    }
    void openBoth() {
        store = openStore(database);
        moderation = openModeration(database);
    }
    // True once the store's generation moved on from `before`, within a second.
    bool generationMovesFrom(uint64_t before) {
        for (auto until = std::chrono::steady_clock::now() + 1s;
             std::chrono::steady_clock::now() < until;) {
            if (store->generation() != before) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    testing::TempFolder folder;
    std::string database;
    std::unique_ptr<Store> store;
    std::unique_ptr<Moderation> moderation;
};

TEST_P(ModerationTest, ABatchStoresItsPostsAndRefusesOnlyTheBannedOnes) {
    openBoth();
    ASSERT_TRUE(moderation->ban(BanKind::name, "rude*"));
    ASSERT_TRUE(moderation->ban(BanKind::poster, "00000000000000bb"));
    std::vector<bool> stored = store->addAll({{"first", "1/1/09", 30, "00000000000000aa"},
                                              {"rude one", "1/1/09", 20, "00000000000000aa"},
                                              {"second", "1/1/09", 10, "00000000000000bb"},
                                              {"third", "1/1/09", 5, ""}});
    EXPECT_EQ(stored, (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(namesOn(*store), (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(store->count(), 2u);
}

TEST_P(ModerationTest, NameBansRefuseLaterPostsAndHideStoredOnesUntilLifted) {
    openBoth();
    store->add({"Rude Word", "1/1/09", 65535, "00000000000000aa"});
    store->add({"polite", "1/1/09", 500, "00000000000000bb"});
    store->add({"rude_other", "1/1/09", 400, "00000000000000bb"});
    uint64_t before = store->generation();

    EXPECT_TRUE(moderation->ban(BanKind::name, "rude*"));
    EXPECT_FALSE(moderation->ban(BanKind::name, "rude*"));  // already in force
    EXPECT_EQ(moderation->hiddenBy(BanKind::name, "rude*"), 2u);
    EXPECT_TRUE(generationMovesFrom(before));
    EXPECT_EQ(namesOn(*store), std::vector<std::string>{"polite"});
    EXPECT_THROW(store->add({"RUDE again", "1/1/09", 1, "00000000000000cc"}), BannedEntry);
    // "_" and "%" are themselves in a pattern, not SQL wildcards.
    EXPECT_TRUE(moderation->ban(BanKind::name, "x_y"));
    EXPECT_NO_THROW(store->add({"xay", "1/1/09", 1, ""}));
    EXPECT_THROW(store->add({"X_Y", "1/1/09", 1, ""}), BannedEntry);
    EXPECT_TRUE(moderation->ban(BanKind::name, "?z"));
    EXPECT_THROW(store->add({"\u00e9z", "1/1/09", 1, ""}),
                 BannedEntry);  // one character, two bytes
    EXPECT_NO_THROW(store->add({"zz z", "1/1/09", 1, ""}));

    ASSERT_EQ(moderation->bans().size(), 3u);
    EXPECT_EQ(moderation->bans()[0].kind, BanKind::name);
    EXPECT_TRUE(moderation->unban(BanKind::name, "rude*"));
    EXPECT_FALSE(moderation->unban(BanKind::name, "rude*"));
    std::vector<std::string> shown = namesOn(*store);
    EXPECT_EQ(shown.front(), "Rude Word");
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "RUDE again"), 0);  // refused, never stored
}

TEST_P(ModerationTest, PosterBansRefuseAndHideEverythingOnePosterSent) {
    openBoth();
    store->add({"one", "1/1/09", 30, "0123456789abcdef"});
    store->add({"two", "1/1/09", 20, "0123456789abcdef"});
    store->add({"other", "1/1/09", 10, "fedcba9876543210"});
    store->add({"old", "1/1/09", 5, ""});  // from before poster keys
    EXPECT_TRUE(moderation->ban(BanKind::poster, "0123456789abcdef"));
    EXPECT_EQ(moderation->hiddenBy(BanKind::poster, "0123456789abcdef"), 2u);
    EXPECT_EQ(namesOn(*store), (std::vector<std::string>{"other", "old"}));
    EXPECT_THROW(store->add({"new name", "1/1/09", 99, "0123456789abcdef"}), BannedEntry);
    EXPECT_EQ(store->count(), 4u);

    std::vector<ListedScore> listed = moderation->list({});
    ASSERT_EQ(listed.size(), 4u);
    EXPECT_EQ(listed[0].name, "one");
    EXPECT_TRUE(listed[0].hidden);
    EXPECT_FALSE(listed[2].hidden);
    EXPECT_EQ(listed[3].poster, "");
}

TEST_P(ModerationTest, RemovedScoresLeaveThePageWithinASecond) {
    openBoth();
    store->add({"keep", "1/1/09", 10, ""});
    store->add({"cheat", "1/1/09", 65535, "00000000000000aa"});
    std::vector<ListedScore> listed = moderation->list({1, "", {}});
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, "cheat");
    EXPECT_EQ(listed[0].score, 65535u);
    EXPECT_NEAR(static_cast<double>(listed[0].received), static_cast<double>(std::time(nullptr)),
                60);

    uint64_t before = store->generation();
    std::optional<ListedScore> removed = moderation->remove(listed[0].id);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->name, "cheat");
    EXPECT_FALSE(moderation->remove(listed[0].id));
    EXPECT_TRUE(generationMovesFrom(before));
    EXPECT_EQ(namesOn(*store), std::vector<std::string>{"keep"});
}

TEST_P(ModerationTest, ListFiltersByNameAndDayReceived) {
    openBoth();
    for (int i = 0; i < 5; ++i) {
        store->add({"Ann" + std::to_string(i), "1/1/09", static_cast<uint32_t>(i), ""});
        store->add({"bob" + std::to_string(i), "1/1/09", static_cast<uint32_t>(i), ""});
    }
    EXPECT_EQ(moderation->list({100, "", {}}).size(), 10u);
    EXPECT_EQ(moderation->list({3, "", {}}).size(), 3u);
    std::vector<ListedScore> anns = moderation->list({100, "ann*", {}});
    ASSERT_EQ(anns.size(), 5u);
    EXPECT_EQ(anns[0].name, "Ann4");
    std::time_t now = std::time(nullptr);
    EXPECT_EQ(moderation->list({100, "", now - 3600}).size(), 10u);
    EXPECT_TRUE(moderation->list({100, "", now + 3600}).empty());
}

TEST_P(ModerationTest, ThePosterSecretIsMadeOnceAndKept) {
    openBoth();
    std::string secret = moderation->posterSecret();
    EXPECT_EQ(secret.size(), 64u);
    moderation.reset();
    store.reset();
    openBoth();
    EXPECT_EQ(moderation->posterSecret(), secret);
    EXPECT_EQ(openModeration(database)->posterSecret(), secret);
}

TEST_P(ModerationTest, AnEarlierReleasesDatabaseIsBroughtUpToDateWithItsScores) {
    if (GetParam() == Engine::sqlite) {
        runSql(
            GetParam(), database,
            "CREATE TABLE scores (id INTEGER PRIMARY KEY, name TEXT NOT NULL, date TEXT NOT NULL,"
            " score INTEGER NOT NULL, posted INTEGER NOT NULL DEFAULT (strftime('%s','now')));"
            "INSERT INTO scores (name, date, score) VALUES ('early', '1/1/09', 700), ('earlier', "
            "'1/1/08', 600)");
    } else {
        runSql(GetParam(), database,
               "CREATE TABLE scores (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, name text "
               "NOT NULL,"
               " date text NOT NULL, score bigint NOT NULL, posted timestamptz NOT NULL DEFAULT "
               "now());"
               "INSERT INTO scores (name, date, score) VALUES ('early', '1/1/09', 700), "
               "('earlier', '1/1/08', 600)");
    }
    openBoth();
    EXPECT_EQ(namesOn(*store), (std::vector<std::string>{"early", "earlier"}));
    store->add({"new", "1/1/10", 800, "0123456789abcdef"});
    EXPECT_EQ(moderation->list({})[0].poster, "0123456789abcdef");
    EXPECT_TRUE(moderation->ban(BanKind::name, "earlier"));
    EXPECT_EQ(namesOn(*store), (std::vector<std::string>{"new", "early"}));
    // Opening it again changes nothing more.
    store.reset();
    moderation.reset();
    openBoth();
    EXPECT_EQ(store->count(), 3u);
    EXPECT_EQ(moderation->bans().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Engines, ModerationTest,
                         ::testing::Values(Engine::sqlite, Engine::postgres), engineName);

TEST(ModerationOpenTest, AMissingSqliteFileIsAnErrorNotAnEmptyList) {
    testing::TempFolder folder;
    EXPECT_THROW(openModeration(folder.file("typo.db")), StoreError);
    EXPECT_FALSE(std::filesystem::exists(folder.file("typo.db")));
}

TEST(BackupTest, ACopyTakenWhileScoresArePostedHoldsEveryOneAcknowledgedBefore) {
    testing::TempFolder folder;
    std::string database = folder.file("scores.db");
    std::unique_ptr<Store> store = openStore(database);
    std::atomic<int> acknowledged{0};
    std::atomic<bool> stop{false};
    std::thread poster([&] {
        for (int i = 0; !stop; ++i) {
            store->add({"p" + std::to_string(i), "1/1/09", static_cast<uint32_t>(i), ""});
            acknowledged = i + 1;
        }
    });
    while (acknowledged < 200) {
        std::this_thread::sleep_for(1ms);
    }
    int before = acknowledged;
    uint64_t copied = backupSqliteDatabase(database, folder.file("copy.db"));
    stop = true;
    poster.join();
    EXPECT_GE(copied, static_cast<uint64_t>(before));
    EXPECT_LE(copied, static_cast<uint64_t>(acknowledged));

    std::unique_ptr<Moderation> copy = openModeration(folder.file("copy.db"));
    std::vector<ListedScore> scores = copy->list({1'000'000, "", {}});
    EXPECT_EQ(scores.size(), copied);
    std::vector<bool> seen(copied, false);
    for (const ListedScore& score : scores) {
        ASSERT_LT(score.score, copied);
        seen[score.score] = true;  // posted in order: the copy holds a prefix
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), false), 0);
    EXPECT_THROW(backupSqliteDatabase(database, folder.file("copy.db")),
                 StoreError);  // never overwrites
}

}  // namespace
}  // namespace velmora::server
