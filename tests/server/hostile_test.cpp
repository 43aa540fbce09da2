// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-server under attack and under a busy night: idle, trickling and
// greedy clients, huge headers, a kill in the middle of posting. Ordinary
// players must go on being served, memory must stay bounded and no score
// the server acknowledged may be lost.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "online/HTTPGet.h"
#include "server/limits.h"
#include "server/score_store.h"
#include "tests/online/queue_dispatcher.h"
#include "tests/platform/temp_folder.h"
#include "tests/server/server_process.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A plain socket, closed when dropped.
class Socket {
public:
    explicit Socket(int fd = -1) : fd_(fd) {}
    Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Socket& operator=(Socket&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

// A connection to the server from `source`, another loopback address.
Socket connectFrom(const std::string& source, uint16_t port) {
    Socket socket(connectFromLoopback(source, port, 5));
    if (socket.fd() < 0) {
        ADD_FAILURE() << "cannot connect from " << source << ": " << std::strerror(errno);
    }
    return socket;
}

// Whether the server has closed (or reset) the connection, waiting at most
// `wait`. Any reply bytes are read and dropped.
bool closedByServer(const Socket& socket, std::chrono::milliseconds wait) {
    auto end = Clock::now() + wait;
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        pollfd entry{socket.fd(), POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(std::max<long>(left, 0))) <= 0) {
            return false;
        }
        ssize_t got = ::recv(socket.fd(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN)) {
            return true;
        }
    }
}

// How many of `sockets` are still open, checked at once.
size_t stillOpen(const std::vector<Socket>& sockets) {
    std::vector<pollfd> entries;
    for (const Socket& socket : sockets) {
        entries.push_back({socket.fd(), POLLIN | POLLRDHUP, 0});
    }
    ::poll(entries.data(), entries.size(), 0);
    size_t open = 0;
    for (const pollfd& entry : entries) {
        open += entry.revents == 0 ? 1 : 0;
    }
    return open;
}

size_t residentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stoul(line.substr(6));
        }
    }
    return 0;
}

std::string post(const std::string& name, const std::string& score) {
    return "/cgi-bin/velmora.cgi?name=" + name + "&date=1/5/09&score=" + score;
}

class HostileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Thousands of sockets on this side too.
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }

    std::unique_ptr<ServerProcess> start() {
        return std::make_unique<ServerProcess>(
            std::vector<std::string>{"--db", folder.file("scores.db"), "--threads", "2"});
    }

    // An ordinary player's request: answered in full, within a second.
    static void expectServedPromptly(uint16_t port, const std::string& target) {
        auto began = Clock::now();
        HttpReply reply = get(port, target);
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began);
        EXPECT_EQ(reply.status, 200) << target;
        EXPECT_FALSE(reply.body.empty()) << target;
        EXPECT_LT(took, 1000ms) << target;
    }

    TempFolder folder;
};

TEST_F(HostileTest, IdleAndTricklingConnectionsNeitherDelayPlayersNorStay) {
    auto server = start();
    constexpr int kIdle = 2000;
    constexpr int kIdlePerAddress = 50;
    constexpr int kTrickling = 40;
    // The server's clocks for these start as each is accepted; the first
    // one's start bounds them all.
    auto firstOpened = Clock::now();
    std::vector<Socket> idle;
    for (int i = 0; i < kIdle; ++i) {
        idle.push_back(connectFrom("127.0.1." + std::to_string(1 + i / kIdlePerAddress), server->port()));
    }
    auto opened = Clock::now();
    ASSERT_LT(opened - firstOpened, server::kRequestDeadline - 4s) << "too slow to open the connections";
    std::vector<Socket> trickling;
    for (int i = 0; i < kTrickling; ++i) {
        trickling.push_back(connectFrom("127.0.2.1", server->port()));
    }
    // The same with a small body that never ends.
    constexpr int kSlowBodies = 5;
    std::vector<Socket> slowBodies;
    const std::string bodyHead = "GET /healthz HTTP/1.1\r\nHost: velmora\r\nContent-Length: 1000\r\n\r\n";
    for (int i = 0; i < kSlowBodies; ++i) {
        slowBodies.push_back(connectFrom("127.0.2.2", server->port()));
        ::send(slowBodies.back().fd(), bodyHead.data(), bodyHead.size(), MSG_NOSIGNAL);
    }
    // One byte of a request every 4 s on each, as a slow attacker sends.
    std::atomic<bool> stop = false;
    std::thread trickler([&] {
        const std::string head = "GET /counter/velmora.shtml HTTP/1.1\r\nHost: velmora\r\nX-Slow: 1\r\n\r\n";
        for (size_t at = 0; at < head.size() && !stop; ++at) {
            for (const Socket& socket : trickling) {
                ::send(socket.fd(), &head[at], 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            }
            for (const Socket& socket : slowBodies) {
                ::send(socket.fd(), "b", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            }
            for (int wait = 0; wait < 40 && !stop; ++wait) {
                std::this_thread::sleep_for(100ms);
            }
        }
    });

    // Players post and look at the list all the while.
    int played = 0;
    while (Clock::now() < firstOpened + server::kRequestDeadline - 2s) {
        expectServedPromptly(server->port(), post("Player" + std::to_string(played), std::to_string(played)));
        expectServedPromptly(server->port(), "/counter/velmora.shtml");
        ++played;
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_GE(played, 5);
    // The attack was held open the whole time, not turned away at the door.
    EXPECT_EQ(stillOpen(idle), static_cast<size_t>(kIdle));
    EXPECT_EQ(stillOpen(trickling), static_cast<size_t>(kTrickling));
    EXPECT_EQ(stillOpen(slowBodies), static_cast<size_t>(kSlowBodies));

    // Then the server lets go of them: the trickling ones at their deadline,
    // though they never stop sending, the idle ones at the idle limit.
    auto cutBy = opened + std::max(server::kRequestDeadline, std::chrono::seconds(server::kIdleSeconds)) + 4s;
    while (Clock::now() < cutBy && stillOpen(trickling) + stillOpen(slowBodies) + stillOpen(idle) > 0) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(stillOpen(trickling), 0u);
    EXPECT_EQ(stillOpen(slowBodies), 0u);
    EXPECT_EQ(stillOpen(idle), 0u);
    stop = true;
    trickler.join();
    expectServedPromptly(server->port(), "/healthz");
}

TEST_F(HostileTest, OneAddressCannotTakeMoreThanItsShareOfConnections) {
    auto server = start();
    constexpr size_t kExtra = 20;
    std::vector<Socket> greedy;
    for (size_t i = 0; i < server::kMaxConnectionsPerAddress + kExtra; ++i) {
        greedy.push_back(connectFrom("127.0.3.1", server->port()));
    }
    auto end = Clock::now() + 3s;
    while (stillOpen(greedy) > server::kMaxConnectionsPerAddress && Clock::now() < end) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(stillOpen(greedy), server::kMaxConnectionsPerAddress);
    expectServedPromptly(server->port(), "/counter/velmora.shtml");
    Socket another = connectFrom("127.0.3.1", server->port());
    EXPECT_TRUE(closedByServer(another, 2000ms));
    // Every refusal is counted for the operator.
    std::string scrape = testing::get(server->port(), "/metrics").body;
    EXPECT_NE(scrape.find("velmora_refused_connections_total " + std::to_string(kExtra + 1) + "\n"),
              std::string::npos)
        << scrape;
    greedy.clear();
    // Once it lets go, that address is served again.
    std::this_thread::sleep_for(200ms);
    Socket again = connectFrom("127.0.3.1", server->port());
    const std::string request = "GET /healthz HTTP/1.0\r\n\r\n";
    ASSERT_EQ(::send(again.fd(), request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    char reply[64] = {};
    ASSERT_GT(::recv(again.fd(), reply, sizeof reply - 1, 0), 0);
    EXPECT_EQ(std::string(reply).rfind("HTTP/1.1 200", 0), 0u) << reply;
}

// Sends `head` (a request head that never ends well) and says how the
// server answered: its status, or 0 when it just closed.
int sendHuge(uint16_t port, const std::string& start, size_t lineCount, const std::string& line) {
    Socket socket = connectFrom("127.0.4.1", port);
    std::string chunk;
    ::send(socket.fd(), start.data(), start.size(), MSG_NOSIGNAL);
    for (size_t sent = 0; sent < lineCount;) {
        chunk.clear();
        for (; chunk.size() < 65536 && sent < lineCount; ++sent) {
            chunk += line;
        }
        if (::send(socket.fd(), chunk.data(), chunk.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(chunk.size())) {
            break;  // refused and closed: what we expect
        }
    }
    ::send(socket.fd(), "\r\n", 2, MSG_NOSIGNAL);
    ::shutdown(socket.fd(), SHUT_WR);
    std::string reply;
    char buffer[4096];
    ssize_t got;
    while ((got = ::recv(socket.fd(), buffer, sizeof buffer, 0)) > 0) {
        reply.append(buffer, static_cast<size_t>(got));
    }
    return reply.rfind("HTTP/1.1 ", 0) == 0 ? std::stoi(reply.substr(9, 3)) : 0;
}

TEST_F(HostileTest, HugeHeadersAreRefusedWithoutTakingMemory) {
    auto server = start();
    expectServedPromptly(server->port(), "/counter/velmora.shtml");
    size_t before = residentKilobytes(server->pid());
    ASSERT_GT(before, 0u);

    std::atomic<bool> sending = true;
    std::atomic<size_t> peak = before;
    std::thread watcher([&] {
        while (sending) {
            peak = std::max(peak.load(), residentKilobytes(server->pid()));
            std::this_thread::sleep_for(5ms);
        }
    });
    const std::string start = "GET /counter/velmora.shtml HTTP/1.1\r\nHost: velmora\r\n";
    std::vector<std::thread> attackers;
    std::vector<int> statuses(5, -1);
    // Four connections of 32 MB of headers each, and one of 10,000 short ones.
    for (int i = 0; i < 4; ++i) {
        attackers.emplace_back([&, i] {
            statuses[i] = sendHuge(server->port(), start, 32 * 1024, "X-Filler: " + std::string(1010, 'f') + "\r\n");
        });
    }
    attackers.emplace_back([&] { statuses[4] = sendHuge(server->port(), start, 10'000, "X-A: 1\r\n"); });
    for (std::thread& attacker : attackers) {
        attacker.join();
    }
    sending = false;
    watcher.join();
    for (int status : statuses) {
        EXPECT_TRUE(status == 0 || status == 431 || status == 413 || status == 400) << status;
    }
    // Five connections may hold a few of their 32 KB each; nothing of the
    // 128 MB sent.
    EXPECT_LT(peak - before, 8u * 1024) << "grew from " << before << " kB to " << peak << " kB";
    expectServedPromptly(server->port(), "/counter/velmora.shtml");
    EXPECT_LT(residentKilobytes(server->pid()), before + 2048);

    // Bodies the server will not read are refused before they are sent.
    for (const std::string& head :
         {std::string("GET / HTTP/1.1\r\nHost: velmora\r\nTransfer-Encoding: chunked\r\n\r\n"),
          std::string("GET / HTTP/1.0\r\nContent-Length: 1000000000\r\n\r\n")}) {
        EXPECT_EQ(rawRequest(server->port(), head).status, 413) << head;
    }
}

TEST_F(HostileTest, AKillDuringConcurrentPostingLosesNoAcknowledgedScore) {
    auto server = start();
    constexpr int kClients = 8;
    std::mutex mutex;
    std::set<std::string> acknowledged;
    std::atomic<bool> killed = false;
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            uint16_t port = server->port();
            for (int i = 0; !killed; ++i) {
                std::string name = "c" + std::to_string(c) + "n" + std::to_string(i);
                HttpReply reply;
                try {
                    reply = get(port, post(name, std::to_string(i)));
                } catch (const std::exception&) {
                    continue;  // the server is gone
                }
                if (reply.status == 200 && reply.body == "score received\n") {
                    std::lock_guard lock(mutex);
                    acknowledged.insert(name);
                }
            }
        });
    }
    auto end = Clock::now() + 5s;
    while (Clock::now() < end) {
        std::this_thread::sleep_for(20ms);
        std::lock_guard lock(mutex);
        if (acknowledged.size() >= 500) {
            break;
        }
    }
    server->stop(SIGKILL);
    killed = true;
    for (std::thread& client : clients) {
        client.join();
    }
    ASSERT_GT(acknowledged.size(), 50u);

    std::string database = folder.file("scores.db");
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &raw), SQLITE_OK);
    std::string integrity;
    sqlite3_exec(
        raw, "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) += values[0] != nullptr ? values[0] : "";
            return 0;
        },
        &integrity, nullptr);
    sqlite3_close(raw);
    EXPECT_EQ(integrity, "ok");

    server::ScoreStore store(database);
    std::set<std::string> kept;
    for (const server::ScoreEntry& entry : store.best(1'000'000)) {
        kept.insert(entry.name);
    }
    for (const std::string& name : acknowledged) {
        EXPECT_TRUE(kept.count(name)) << name << " was acknowledged and lost";
    }
}

TEST_F(HostileTest, TheGameSeesItsLongestNameStoredAndRefusedPostsAsFailures) {
    auto server = start();
    auto dispatcher = std::make_shared<QueueDispatcher>();
    online::THTTPGet sendit(dispatcher);
    std::vector<std::string> done;
    int failed = 0;
    sendit.OnDoneString = [&](online::THTTPGet&, const std::string& result) { done.push_back(result); };
    sendit.OnError = [&](online::THTTPGet&) { ++failed; };
    std::string euros;
    for (int i = 0; i < 2047; ++i) {
        euros += "\xE2\x82\xAC";  // the longest name a settings file holds, three UTF-8 bytes a character
    }
    for (const std::string& target : {post(euros, "4321"), post("Ann", "12x"), post("Ann", "-1")}) {
        sendit.URL = server->url(target);
        sendit.FetchString();
        ASSERT_TRUE(dispatcher->pumpUntil([&] { return !sendit.busy(); }));
    }
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], "score received\n");
    EXPECT_EQ(failed, 2);  // the game shows "Posting Failed." for these
    std::string page = get(server->port(), "/counter/velmora.shtml").body;
    EXPECT_NE(page.find(">" + euros.substr(0, 3 * server::kMaxNameChars) + "<"), std::string::npos);
    EXPECT_NE(page.find(">4321<"), std::string::npos);
}

}  // namespace
}  // namespace velmora::testing
