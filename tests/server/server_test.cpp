// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-server run as the game meets it: a child process on loopback.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "online/HTTPGet.h"
#include "online/HttpCli.h"
#include "server/store_factory.h"
#include "tests/online/queue_dispatcher.h"
#include "tests/server/pg_cluster.h"
#include "tests/server/server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

enum class Engine { sqlite, postgres };

// Every case runs against both engines: the game must not tell them apart.
class ServerTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '_');
        folder = std::filesystem::temp_directory_path()
                 / ("velmora_server_test_" + std::to_string(::getpid()) + "_" + test);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        database = GetParam() == Engine::postgres ? sharedPgCluster().createDatabase() : (folder / "scores.db").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::unique_ptr<ServerProcess> start(std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), {"--db", database});
        return std::make_unique<ServerProcess>(arguments);
    }

    static std::string post(const std::string& name, const std::string& date, const std::string& score) {
        return "/cgi-bin/velmora.cgi?name=" + name + "&date=" + date + "&score=" + score;
    }

    std::filesystem::path folder;
    std::string database;
};

size_t countOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_P(ServerTest, GamePostsThroughItsComponentAndFindsTheScoreListed) {
    auto server = start();
    auto dispatcher = std::make_shared<QueueDispatcher>();
    online::THTTPGet sendit(dispatcher);
    std::string reply;
    sendit.OnDoneString = [&](online::THTTPGet&, const std::string& result) { reply = result; };
    // Exactly as the game builds it: nothing encoded.
    sendit.URL = server->url(post("Ann Lee & Co", "12/7/26", "1520"));
    sendit.FetchString();
    ASSERT_TRUE(dispatcher->pumpUntil([&] { return !sendit.busy(); }));
    EXPECT_FALSE(reply.empty());

    HttpReply page = get(server->port(), "/counter/velmora.shtml");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find(">Ann Lee &amp; Co<"), std::string::npos);
    EXPECT_NE(page.body.find(">1520<"), std::string::npos);
    EXPECT_NE(page.body.find(">12/7/26<"), std::string::npos);
    EXPECT_NE(page.body.find("#3B5998"), std::string::npos);
    EXPECT_NE(page.body.find("#E6E3C4"), std::string::npos);
}

TEST_P(ServerTest, ListIsBestFirstNewestFirstAmongEqualsAndCapped) {
    auto server = start();
    const char* posts[][2] = {{"low", "10"}, {"firstTie", "500"}, {"top", "900"}, {"secondTie", "500"}};
    for (auto& p : posts) {
        ASSERT_EQ(get(server->port(), post(p[0], "1/5/09", p[1])).status, 200);
    }
    std::string page = get(server->port(), "/counter/velmora.shtml").body;
    size_t top = page.find(">top<"), second = page.find(">secondTie<"), first = page.find(">firstTie<"),
           low = page.find(">low<");
    ASSERT_NE(low, std::string::npos);
    EXPECT_LT(top, second);
    EXPECT_LT(second, first);
    EXPECT_LT(first, low);
    EXPECT_NE(page.find(">4<"), std::string::npos);  // the rank column

    for (int i = 0; i < 120; ++i) {
        get(server->port(), post("p" + std::to_string(i), "1/5/09", std::to_string(1000 + i)));
    }
    page = get(server->port(), "/counter/velmora.shtml").body;
    EXPECT_EQ(countOf(page, "<tr bgcolor"), 100u);
    EXPECT_NE(page.find(">p119<"), std::string::npos);
    EXPECT_EQ(page.find(">low<"), std::string::npos);
}

TEST_P(ServerTest, HostileNamesAreStoredAsTextAndEscaped) {
    auto server = start();
    const std::string names[] = {"<script>alert(1)</script>", "x');DROP%20TABLE%20scores;--", "\"quoted\"",
                                 "%3Cb%3Ebold%3C%2Fb%3E", "a+b", "caf%C3%A9", "bad%FFbyte", "tab%09bed"};
    for (const std::string& name : names) {
        EXPECT_EQ(get(server->port(), post(name, "1/5/09", "7")).status, 200) << name;
    }
    std::string page = get(server->port(), "/counter/velmora.shtml").body;
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    for (const char* shown : {">&lt;script&gt;alert(1)&lt;/script&gt;<", ">x&#39;);DROP TABLE scores;--<",
                              ">&quot;quoted&quot;<", ">&lt;b&gt;bold&lt;/b&gt;<", ">a+b<", ">caf\xC3\xA9<",
                              ">bad?byte<", ">tabbed<"}) {
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
    }
}

TEST_P(ServerTest, BadPostsAreRefusedWithAnEmptyBodyAndOversizedRequestsRefused) {
    auto server = start();
    const std::string refused[] = {
        post("Guest", "1/5/09", "abc"),   post("Guest", "1/5/09", "-5"),  post("Guest", "1/5/09", "1234567890"),
        post("Guest", "13/5/09", "10"),   post("Guest", "1/32/09", "10"), post("Guest", "1/5/2009", "10"),
        post("Guest", "1/5.09", "10"),    post("Guest", "", "10"),        post("", "1/5/09", "10"),
        "/cgi-bin/velmora.cgi?name=Guest&score=10",
        "/cgi-bin/velmora.cgi"};
    for (const std::string& target : refused) {
        HttpReply reply = get(server->port(), target);
        EXPECT_EQ(reply.status, 400) << target;
        // The game takes any body as success.
        EXPECT_TRUE(reply.body.empty()) << target;
    }
    EXPECT_EQ(get(server->port(), "/cgi-bin/velmora.cgi?x=" + std::string(40000, 'a')).status, 414);
    HttpReply big = rawRequest(server->port(), "POST /cgi-bin/velmora.cgi HTTP/1.0\r\nContent-Length: 100000\r\n\r\n"
                                                   + std::string(100000, 'b'));
    EXPECT_EQ(big.status, 413);
    EXPECT_NE(rawRequest(server->port(), "GARBAGE\r\n\r\n").status, 200);
    std::string page = get(server->port(), "/counter/velmora.shtml").body;
    EXPECT_EQ(countOf(page, "<tr bgcolor"), 0u);
    EXPECT_NE(page.find("No scores yet"), std::string::npos);
}

TEST_P(ServerTest, ScoresSurviveARestartAndAKillAfterTheReply) {
    auto server = start();
    ASSERT_EQ(get(server->port(), post("before", "1/5/09", "100")).status, 200);
    EXPECT_TRUE(WIFEXITED(server->stop(SIGTERM)));  // a clean stop
    server = start();
    ASSERT_EQ(get(server->port(), post("killed", "1/5/09", "200")).status, 200);
    server->stop(SIGKILL);
    server = start();
    std::string page = get(server->port(), "/counter/velmora.shtml").body;
    EXPECT_NE(page.find(">before<"), std::string::npos);
    EXPECT_NE(page.find(">killed<"), std::string::npos);
}

TEST_P(ServerTest, ConcurrentPostsAreAllKept) {
    auto server = start();
    constexpr int kClients = 8;
    constexpr int kPostsEach = 40;
    std::atomic<int> accepted{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            for (int i = 0; i < kPostsEach; ++i) {
                std::string name = "c" + std::to_string(c) + "_" + std::to_string(i);
                if (get(server->port(), post(name, "1/5/09", std::to_string(i))).status == 200) {
                    ++accepted;
                }
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(accepted, kClients * kPostsEach);
    server->stop(SIGTERM);
    auto store = server::openStore(database);
    EXPECT_EQ(store->best(100000).size(), static_cast<size_t>(kClients * kPostsEach));
}

TEST_P(ServerTest, ServesVersionTextInstallerAndHomePage) {
    auto plain = start();
    HttpReply version = get(plain->port(), "/velmora/velmoraversion.txt");
    EXPECT_EQ(version.status, 200);
    EXPECT_EQ(version.body, "1.0.0");
    EXPECT_EQ(get(plain->port(), "/velmora/velmorasetup.exe").status, 404);
    HttpReply home = get(plain->port(), "/");
    EXPECT_NE(home.body.find("Nivolt Software"), std::string::npos);
    EXPECT_NE(home.body.find("href=\"/counter/velmora.shtml\""), std::string::npos);
    plain->stop(SIGTERM);

    std::string installer(300000, '\0');
    for (size_t i = 0; i < installer.size(); ++i) {
        installer[i] = static_cast<char>(i * 7);
    }
    std::string path = (folder / "velmorasetup.exe").string();
    std::ofstream(path, std::ios::binary) << installer;
    auto server = start({"--version-text", "1.0.1", "--installer", path});
    EXPECT_EQ(get(server->port(), "/velmora/velmoraversion.txt").body, "1.0.1");

    // Downloaded the way the update does it.
    online::THttpCli getupdate;
    std::ostringstream file;
    getupdate.URL = server->url("/velmora/velmorasetup.exe");
    getupdate.ReceiveStream = &file;
    getupdate.SyncGet();
    EXPECT_EQ(file.str(), installer);
}

INSTANTIATE_TEST_SUITE_P(Engines, ServerTest, ::testing::Values(Engine::sqlite, Engine::postgres),
                         [](const ::testing::TestParamInfo<Engine>& info) {
                             return info.param == Engine::sqlite ? "SQLite" : "PostgreSQL";
                         });

}  // namespace
}  // namespace velmora::testing
