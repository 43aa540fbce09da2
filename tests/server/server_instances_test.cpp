// SPDX-License-Identifier: GPL-3.0-or-later
// Several velmora-server instances on one PostgreSQL database, as behind a
// load balancer: one list, no acknowledged score lost to a killed instance
// or a restarted database.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "server/moderation.h"
#include "server/store_factory.h"
#include "tests/server/pg_cluster.h"
#include "tests/server/server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

std::string post(const std::string& name, int score) {
    return "/cgi-bin/velmora.cgi?name=" + name + "&date=1/5/09&score=" + std::to_string(score);
}

std::string page(const ServerProcess& server) {
    return get(server.port(), "/counter/velmora.shtml").body;
}

// Every name the database holds.
std::set<std::string> storedNames(const std::string& database) {
    std::set<std::string> names;
    for (const server::ScoreEntry& entry : server::openStore(database)->best(1'000'000)) {
        names.insert(entry.name);
    }
    return names;
}

// Clients posting in a loop until told to stop, each post to the next of
// `servers` in turn; remembers the names whose post was acknowledged.
class PostingClients {
  public:
    PostingClients(std::vector<const ServerProcess*> servers, int clients) {
        for (int c = 0; c < clients; ++c) {
            threads_.emplace_back([this, servers, c] {
                for (int i = 0; !stop_; ++i) {
                    std::string name = "c" + std::to_string(c) + "_" + std::to_string(i);
                    const ServerProcess* server = servers[static_cast<size_t>(i) % servers.size()];
                    HttpReply reply;
                    try {
                        reply = get(server->port(), post(name, i));
                    } catch (const std::exception&) {
                        // A refused connection: the instance is gone.
                    }
                    std::lock_guard lock(mutex_);
                    if (reply.status == 200) {
                        acknowledged_.insert(name);
                    } else {
                        ++failed_;
                    }
                }
            });
        }
    }
    ~PostingClients() { finish(); }

    void finish() {
        stop_ = true;
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }
    size_t acknowledged() {
        std::lock_guard lock(mutex_);
        return acknowledged_.size();
    }
    std::set<std::string> acknowledgedNames() {
        std::lock_guard lock(mutex_);
        return acknowledged_;
    }
    int failed() {
        std::lock_guard lock(mutex_);
        return failed_;
    }

  private:
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::set<std::string> acknowledged_;
    int failed_ = 0;
    std::vector<std::thread> threads_;
};

void waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
}

// The operator removes a score and bans its poster with the admin command:
// both instances' pages drop it within a second, and both refuse the poster.
TEST(ServerInstancesTest, ARemovedScoreAndABannedPosterLeaveEveryInstance) {
    std::string database = sharedPgCluster().createDatabase();
    ServerProcess first({"--db", database});
    ServerProcess second({"--db", database});
    ASSERT_EQ(get(first.port(), post("Offensive", 65535)).status, 200);
    for (ServerProcess* server : {&first, &second}) {
        waitFor([&] { return page(*server).find(">Offensive<") != std::string::npos; }, 2s);
    }
    std::vector<server::ListedScore> top = server::openModeration(database)->list({1, "", {}});
    ASSERT_EQ(top.size(), 1u);
    std::string command = std::string(VELMORA_SERVER_BINARY) + " admin --db '" + database + "' remove --ban-poster "
                          + std::to_string(top[0].id) + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto removed = std::chrono::steady_clock::now();
    for (ServerProcess* server : {&first, &second}) {
        waitFor([&] { return page(*server).find(">Offensive<") == std::string::npos; }, 2s);
        EXPECT_LT(std::chrono::steady_clock::now() - removed, 1s) << server->port();
        HttpReply again = get(server->port(), post("Another", 1));
        EXPECT_EQ(again.status, 400);
        EXPECT_EQ(again.body, "");
    }
}

TEST(ServerInstancesTest, EachInstanceListsThePostsOfBothWithinASecond) {
    std::string database = sharedPgCluster().createDatabase();
    ServerProcess first({"--db", database});
    ServerProcess second({"--db", database});
    ServerProcess* servers[] = {&first, &second};
    EXPECT_NE(page(first).find("No scores yet"), std::string::npos);
    for (int i = 0; i < 6; ++i) {
        ServerProcess& poster = *servers[i % 2];
        ServerProcess& other = *servers[(i + 1) % 2];
        std::string name = "spread" + std::to_string(i);
        // Higher each time, so it heads the list.
        ASSERT_EQ(get(poster.port(), post(name, 100 + i)).status, 200);
        auto posted = std::chrono::steady_clock::now();
        EXPECT_NE(page(poster).find(">" + name + "<"), std::string::npos)
            << "own post listed at once";
        std::string seen;
        waitFor([&] { return (seen = page(other)).find(">" + name + "<") != std::string::npos; },
                2s);
        auto delay = std::chrono::steady_clock::now() - posted;
        EXPECT_NE(seen.find(">" + name + "<"), std::string::npos) << name;
        EXPECT_LT(delay, 1s) << name;
    }
    for (ServerProcess* server : servers) {
        std::string list = page(*server);
        for (int i = 0; i < 6; ++i) {
            EXPECT_NE(list.find(">spread" + std::to_string(i) + "<"), std::string::npos);
        }
    }
}

TEST(ServerInstancesTest, KillingOneInstanceDuringPostsLosesNoAcknowledgedScore) {
    std::string database = sharedPgCluster().createDatabase();
    ServerProcess doomed({"--db", database});
    ServerProcess survivor({"--db", database});
    PostingClients clients({&doomed, &survivor}, 8);
    waitFor([&] { return clients.acknowledged() >= 200; }, 20s);
    doomed.stop(SIGKILL);
    size_t atKill = clients.acknowledged();
    waitFor([&] { return clients.acknowledged() >= atKill + 100; }, 20s);
    clients.finish();
    std::set<std::string> acknowledged = clients.acknowledgedNames();
    ASSERT_GE(acknowledged.size(), atKill + 100);
    EXPECT_GT(clients.failed(), 0) << "posts to the killed instance must fail";
    std::set<std::string> stored = storedNames(database);
    for (const std::string& name : acknowledged) {
        EXPECT_TRUE(stored.count(name)) << name << " was acknowledged but lost";
    }
    EXPECT_NE(page(survivor).find("<tr bgcolor"), std::string::npos);
}

TEST(ServerInstancesTest, RestartingTheDatabaseGivesErrorsNeverAFalseSuccessAndRecovers) {
    PgCluster& cluster = sharedPgCluster();
    std::string database = cluster.createDatabase();
    ServerProcess server({"--db", database});
    {
        PostingClients clients({&server}, 4);
        waitFor([&] { return clients.acknowledged() >= 100; }, 20s);
        cluster.stop();
        // While it is down, a post is refused with an error status.
        HttpReply whileDown = get(server.port(), post("whileDown", 1));
        EXPECT_GE(whileDown.status, 500);
        std::this_thread::sleep_for(200ms);
        cluster.start();
        size_t atRestart = clients.acknowledged();
        // Back without a restart of the server.
        waitFor([&] { return clients.acknowledged() >= atRestart + 100; }, 20s);
        clients.finish();
        EXPECT_GE(clients.acknowledged(), atRestart + 100) << "posts did not recover";
        std::set<std::string> stored = storedNames(database);
        for (const std::string& name : clients.acknowledgedNames()) {
            EXPECT_TRUE(stored.count(name)) << name << " was acknowledged but not stored";
        }
        EXPECT_FALSE(stored.count("whileDown"));
    }
    ASSERT_EQ(get(server.port(), post("afterRestart", 999999)).status, 200);
    EXPECT_NE(page(server).find(">afterRestart<"), std::string::npos);
}

TEST(ServerInstancesTest, ABadConnectionUriIsReportedWithoutItsPassword) {
    const std::string secret = "Sh0uld-n0t-appear";
    const std::string uris[] = {sharedPgCluster().uri("postgres", secret),
                                "postgresql://velmora:" + secret + "@127.0.0.1:1/velmora"};
    for (const std::string& uri : uris) {
        std::string command =
            std::string(VELMORA_SERVER_BINARY) + " --listen 127.0.0.1:0 --db '" + uri + "' 2>&1";
        FILE* output = ::popen(command.c_str(), "r");
        ASSERT_NE(output, nullptr);
        std::string text;
        char buffer[4096];
        size_t got;
        while ((got = ::fread(buffer, 1, sizeof buffer, output)) > 0) {
            text.append(buffer, got);
        }
        int status = ::pclose(output);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << text;
        EXPECT_NE(text.find("velmora-server: cannot connect to postgresql://velmora:***@"),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find(secret), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace velmora::testing
