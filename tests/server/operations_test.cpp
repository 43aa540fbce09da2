// SPDX-License-Identifier: GPL-3.0-or-later
// The built server run as an operator runs it in public: post limits, the
// admin commands beside a running server, poster keys across restarts,
// /metrics, the access log and a stop in the middle of requests.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <regex>
#include <thread>

#include "server/ban_rules.h"
#include "server/moderation.h"
#include "tests/platform/temp_folder.h"
#include "tests/server/server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;

std::string post(const std::string& name, uint32_t score, const std::string& extraHeaders = "") {
    return "GET /cgi-bin/velmora.cgi?name=" + name + "&date=1/2/09&score=" + std::to_string(score) +
           " HTTP/1.0\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n";
}

// Runs "velmora-server admin WORDS..." and returns its exit status and output.
std::pair<int, std::string> admin(const std::string& words) {
    std::string command = std::string(VELMORA_SERVER_BINARY) + " admin " + words + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) {
        output.append(buffer, got);
    }
    int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

bool pageShows(uint16_t port, const std::string& text) {
    return get(port, "/counter/velmora.shtml").body.find(text) != std::string::npos;
}

bool within(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
    for (auto until = std::chrono::steady_clock::now() + limit;
         std::chrono::steady_clock::now() < until;) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

class OperationsTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::string database = folder.file("scores.db");
};

TEST_F(OperationsTest, AFloodFromOneAddressStoresAtMostTheAllowedRate) {
    ServerProcess server({"--db", database, "--post-rate", "5/min", "--max-score", "1000"});
    int accepted = 0;
    for (int i = 0; i < 40; ++i) {
        HttpReply reply = rawRequest(server.port(), post("flood" + std::to_string(i), 10));
        if (reply.status == 200) {
            ++accepted;
        } else {
            EXPECT_EQ(reply.status, 429);
            EXPECT_EQ(reply.body, "");
        }
    }
    EXPECT_EQ(accepted, 5);
    EXPECT_EQ(server::openModeration(database)->list({100, "", {}}).size(), 5u);
}

TEST_F(OperationsTest, ScoresOverTheCapAreRefusedWithAnEmptyBody) {
    ServerProcess server({"--db", database, "--max-score", "1000"});
    HttpReply over = rawRequest(server.port(), post("greedy", 1001));
    EXPECT_EQ(over.status, 400);
    EXPECT_EQ(over.body, "");
    EXPECT_EQ(rawRequest(server.port(), post("fair", 1000)).status, 200);
    EXPECT_TRUE(pageShows(server.port(), "fair"));
    EXPECT_FALSE(pageShows(server.port(), "greedy"));
}

// The operator's night: find the bad score, remove it, ban its poster.
TEST_F(OperationsTest, TwoAdminCommandsRemoveAScoreAndBanItsPosterOnARunningServer) {
    ServerProcess server({"--db", database});
    ASSERT_EQ(rawRequest(server.port(), post("decent", 1200)).status, 200);
    ASSERT_EQ(rawRequest(server.port(), post("Offensive", 65535)).status, 200);
    ASSERT_TRUE(pageShows(server.port(), "Offensive"));

    auto [listed, table] = admin("--db " + database + " list --top 1");
    ASSERT_EQ(listed, 0) << table;
    std::smatch row;
    ASSERT_TRUE(std::regex_search(
        table, row,
        std::regex(R"((\d+)\t65535\tOffensive\t1/2/09\t[0-9: -]+\t([0-9a-f]{16})\tshown)")))
        << table;
    auto [removed, removeText] = admin("--db " + database + " remove --ban-poster " + row[1].str());
    EXPECT_EQ(removed, 0) << removeText;
    EXPECT_NE(removeText.find("removed " + row[1].str()), std::string::npos) << removeText;
    // "decent" came from the same address.
    EXPECT_NE(removeText.find("banned poster \"" + row[2].str() + "\": hides 1 stored scores"),
              std::string::npos)
        << removeText;
    EXPECT_EQ(admin("--db " + database + " ban poster " + row[2].str()).second,
              "poster \"" + row[2].str() + "\" was banned already\n");

    EXPECT_TRUE(within(1000ms, [&] { return !pageShows(server.port(), "Offensive"); }));
    EXPECT_FALSE(pageShows(server.port(), "decent"));
    HttpReply again = rawRequest(server.port(), post("Offensive2", 65535));
    EXPECT_EQ(again.status, 400);
    EXPECT_EQ(again.body, "");
    EXPECT_EQ(admin("--db " + database + " remove " + row[1].str()).first, 1);  // gone already
    auto [bans, bansText] = admin("--db " + database + " bans");
    EXPECT_NE(bansText.find("poster\t" + row[2].str()), std::string::npos) << bansText;
    EXPECT_EQ(admin("--db " + database + " unban poster " + row[2].str()).first, 0);
    EXPECT_TRUE(within(1000ms, [&] { return pageShows(server.port(), "decent"); }));
}

TEST_F(OperationsTest, PosterKeysAreNeverTheAddressAndSurviveARestart) {
    {
        ServerProcess first({"--db", database});
        ASSERT_EQ(rawRequest(first.port(), post("before", 1)).status, 200);
        first.stop(SIGTERM);
    }
    ServerProcess second({"--db", database, "--trusted-proxy", "127.0.0.1"});
    ASSERT_EQ(rawRequest(second.port(), post("after", 2)).status, 200);
    ASSERT_EQ(
        rawRequest(second.port(), post("proxied", 3, "X-Forwarded-For: 203.0.113.7\r\n")).status,
        200);
    std::vector<server::ListedScore> scores = server::openModeration(database)->list({});
    ASSERT_EQ(scores.size(), 3u);
    EXPECT_EQ(scores[0].name, "proxied");
    EXPECT_EQ(scores[1].poster, scores[2].poster);
    EXPECT_NE(scores[0].poster, scores[1].poster);
    for (const server::ListedScore& score : scores) {
        EXPECT_TRUE(server::isPosterKey(score.poster)) << score.poster;
        EXPECT_EQ(score.poster.find("127"), std::string::npos);
    }
}

TEST_F(OperationsTest, MetricsAndTheAccessLogCountWhatWasDone) {
    std::string log = folder.file("access.log");
    ServerProcess server({"--db", database, "--access-log=" + log, "--post-rate", "2"});
    for (int i = 0; i < 3; ++i) {
        rawRequest(server.port(),
                   post("m" + std::to_string(i), 5, "User-Agent: Velmora HTTPGet\r\n"));
    }
    get(server.port(), "/counter/velmora.shtml");
    get(server.port(), "/nowhere");
    HttpReply scrape = get(server.port(), "/metrics");
    ASSERT_EQ(scrape.status, 200);
    EXPECT_NE(scrape.head.find("text/plain; version=0.0.4"), std::string::npos);
    for (const char* expected : {"velmora_http_requests_total{route=\"post\",status=\"200\"} 2\n",
                                 "velmora_http_requests_total{route=\"post\",status=\"429\"} 1\n",
                                 "velmora_http_requests_total{route=\"list\",status=\"200\"} 1\n",
                                 "velmora_http_requests_total{route=\"other\",status=\"404\"} 1\n",
                                 "velmora_post_duration_seconds_count 3\n", "velmora_scores 2\n",
                                 "velmora_store_errors_total 0\n"}) {
        EXPECT_NE(scrape.body.find(expected), std::string::npos) << expected << "\n" << scrape.body;
    }
    EXPECT_NE(scrape.body.find("velmora_journal_bytes "), std::string::npos);
    // The earlier connections are closed a moment after their replies: then
    // only the scrape's own is open.
    EXPECT_TRUE(within(1000ms, [&] {
        return get(server.port(), "/metrics").body.find("velmora_open_connections 1\n") !=
               std::string::npos;
    }));

    std::vector<std::string> lines;
    ASSERT_TRUE(within(1000ms, [&] {
        std::ifstream in(log);
        lines.clear();
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines.size() >= 6;
    })) << lines.size();
    std::regex combined(
        R"re(127\.0\.0\.1 - - \[\d\d/\w{3}/\d{4}:\d\d:\d\d:\d\d \+0000\] "GET (\S+) HTTP/1\.0" (\d{3}) (\d+|-) "-" "(.*)")re");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, combined)) << lines[0];
    EXPECT_EQ(match[1], "/cgi-bin/velmora.cgi?name=m0&date=1/2/09&score=5");
    EXPECT_EQ(match[2], "200");
    EXPECT_EQ(match[4], "Velmora HTTPGet");
    ASSERT_TRUE(std::regex_match(lines[2], match, combined)) << lines[2];
    EXPECT_EQ(match[2], "429");
    EXPECT_EQ(match[3], "-");
    ASSERT_TRUE(std::regex_match(lines[5], match, combined)) << lines[5];
    EXPECT_EQ(match[1], "/metrics");
}

TEST_F(OperationsTest, SighupReopensTheAccessLogAfterARotation) {
    std::string log = folder.file("access.log");
    ServerProcess server({"--db", database, "--access-log=" + log});
    auto linesOf = [](const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    };
    get(server.port(), "/healthz");
    ASSERT_TRUE(within(1000ms, [&] { return linesOf(log).size() == 1; }));
    std::filesystem::rename(log, log + ".1");
    get(server.port(), "/velmora/velmoraversion.txt");  // still into the renamed file
    ::kill(server.pid(), SIGHUP);
    ASSERT_TRUE(within(1000ms, [&] { return std::filesystem::exists(log); }));
    EXPECT_EQ(get(server.port(), "/counter/velmora.shtml").status, 200);
    ASSERT_TRUE(within(1000ms, [&] { return linesOf(log).size() == 1; }));
    EXPECT_NE(linesOf(log)[0].find("GET /counter/velmora.shtml"), std::string::npos);
    std::vector<std::string> rotated = linesOf(log + ".1");
    ASSERT_EQ(rotated.size(), 2u);
    EXPECT_NE(rotated[1].find("GET /velmora/velmoraversion.txt"), std::string::npos);
}

// One request over a socket of our own, telling how it ended.
enum class Outcome { replied, refused, cut };

// With `pauseMidway`, half the request is sent, `halfSent` set, and the rest
// sent after the pause.
Outcome request(uint16_t port, const std::string& text, std::chrono::milliseconds pauseMidway = 0ms,
                std::atomic<bool>* halfSent = nullptr) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return Outcome::refused;
    }
    size_t half = pauseMidway > 0ms ? text.size() / 2 : text.size();
    bool sent = ::send(fd, text.data(), half, MSG_NOSIGNAL) == static_cast<ssize_t>(half);
    if (sent && half < text.size()) {
        *halfSent = true;
        std::this_thread::sleep_for(pauseMidway);
        sent = ::send(fd, text.data() + half, text.size() - half, MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size() - half);
    }
    std::string reply;
    char buffer[16384];
    ssize_t got = 0;
    while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
        reply.append(buffer, static_cast<size_t>(got));
    }
    bool reset = got < 0 && errno == ECONNRESET;
    ::close(fd);
    size_t headEnd = reply.find("\r\n\r\n");
    if (reply.empty()) {
        // Never taken in by the server (still queued when it stopped listening).
        return reset || !sent ? Outcome::refused : Outcome::cut;
    }
    std::smatch length;
    std::string head = reply.substr(0, headEnd == std::string::npos ? reply.size() : headEnd);
    if (headEnd == std::string::npos ||
        !std::regex_search(head, length, std::regex("Content-Length: (\\d+)", std::regex::icase)) ||
        reply.size() - headEnd - 4 != std::stoul(length[1])) {
        return Outcome::cut;
    }
    return Outcome::replied;
}

TEST_F(OperationsTest, SigtermLetsRequestsUnderWayFinishAndExitsCleanly) {
    auto server = std::make_unique<ServerProcess>(std::vector<std::string>{"--db", database});
    uint16_t port = server->port();
    std::atomic<bool> stopping{false};
    std::atomic<int> replied{0};
    std::atomic<int> refused{0};
    std::atomic<int> cut{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < 6; ++c) {
        clients.emplace_back([&, c] {
            for (int i = 0;; ++i) {
                Outcome outcome = request(
                    port, c % 2 == 0 ? post("c" + std::to_string(c) + "x" + std::to_string(i), 7)
                                     : "GET /counter/velmora.shtml HTTP/1.0\r\n\r\n");
                (outcome == Outcome::replied   ? replied
                 : outcome == Outcome::refused ? refused
                                               : cut)++;
                if (outcome == Outcome::refused && stopping) {
                    return;
                }
            }
        });
    }
    // A request that arrives half before the stop and half after.
    std::atomic<Outcome> slow{Outcome::cut};
    std::atomic<bool> slowHalfSent{false};
    std::thread slowClient([&] { slow = request(port, post("slow", 9), 600ms, &slowHalfSent); });
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(within(5000ms, [&] { return slowHalfSent.load(); }));
    stopping = true;
    int status = server->stop(SIGTERM);
    slowClient.join();
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(slow.load(), Outcome::replied);
    EXPECT_GT(replied.load(), 6);
    EXPECT_EQ(cut.load(), 0) << replied << " replied, " << refused << " refused";
    EXPECT_FALSE(std::filesystem::exists(database + "-wal"));  // written back
    std::vector<server::ListedScore> scores =
        server::openModeration(database)->list({1'000'000, "slow", {}});
    EXPECT_EQ(scores.size(), 1u);
}

}  // namespace
}  // namespace velmora::testing
