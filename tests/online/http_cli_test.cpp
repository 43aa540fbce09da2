// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/HttpCli.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <thread>

#include "tests/online/script_server.h"

namespace velmora::online {
namespace {

using namespace std::chrono_literals;
using testing::Peer;
using testing::ScriptServer;

struct Failure {
    std::string message;
    int code = -1;
};

// Runs SyncGet and returns how it failed (code -1: it did not).
Failure syncGet(THttpCli& client) {
    try {
        client.SyncGet();
    } catch (const EHttpException& error) {
        return {error.what(), error.ErrorCode()};
    }
    return {};
}

TEST(HttpCliTest, SendsExactlyItsFourLinesAndStreamsTheBodyWhilePumping) {
    std::string installer(200000, '\x7f');
    installer[0] = 'M';
    ScriptServer server([&installer](Peer& peer) {
        std::this_thread::sleep_for(100ms);
        peer.reply(200, "OK", installer);
    });
    THttpCli client;
    std::ostringstream file;
    int pumps = 0;
    std::thread::id pumpThread;
    client.URL = server.url("/velmora/velmorasetup.exe");
    client.ReceiveStream = &file;
    client.MessagePump = [&] {
        ++pumps;
        pumpThread = std::this_thread::get_id();
    };
    Failure failure = syncGet(client);

    EXPECT_EQ(failure.code, -1) << failure.message;
    EXPECT_EQ(file.str(), installer);
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_GT(pumps, 3);  // kept pumping through the server's 100 ms pause
    EXPECT_EQ(pumpThread, std::this_thread::get_id());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "GET /velmora/velmorasetup.exe HTTP/1.0\r\n"
              "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
              "User-Agent: Mozilla/3.0 (compatible)\r\n"
              "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"
              "\r\n");
}

TEST(HttpCliTest, ErrorStatusLeavesTheBodyInTheStreamAndThrowsItsReason) {
    struct Case {
        int status;
        std::string reason;
        std::string expectedMessage;
    };
    const Case cases[] = {
        {500, "Internal Server Error", "Internal Server Error"},
        {404, "Not Found", "Not Found"},
        {403, "", "HTTP error 403"},
    };
    for (const Case& c : cases) {
        ScriptServer server([&c](Peer& peer) { peer.reply(c.status, c.reason, "error page"); });
        THttpCli client;
        std::ostringstream file;
        client.URL = server.url("/velmora/velmorasetup.exe");
        client.ReceiveStream = &file;
        Failure failure = syncGet(client);
        EXPECT_EQ(failure.code, c.status);
        EXPECT_EQ(failure.message, c.expectedMessage);
        EXPECT_EQ(file.str(), "error page");
    }
}

TEST(HttpCliTest, FollowsRedirectsAndKeepsOnlyTheFinalBody) {
    ScriptServer server([](Peer& peer) {
        std::string target = peer.target();
        if (target == "/a") {
            peer.reply(302, "Found", "moved page", "Location: /b\r\n");
        } else if (target == "/b") {
            peer.reply(301, "Moved", "moved too", "Location: c\r\n");
        } else if (target == "/c") {
            peer.reply(200, "OK", "the installer");
        } else {
            peer.reply(302, "Found", "", "Location: " + target + "x\r\n");  // an endless chain
        }
    });
    THttpCli client;
    std::ostringstream file;
    client.URL = server.url("/a");
    client.ReceiveStream = &file;
    EXPECT_EQ(syncGet(client).code, -1);
    EXPECT_EQ(file.str(), "the installer");
    EXPECT_EQ(server.requests().size(), 3u);

    client.URL = server.url("/loop");
    Failure failure = syncGet(client);
    EXPECT_EQ(failure.message, "Too many redirects");
    EXPECT_EQ(failure.code, 302);
    EXPECT_EQ(server.requests().size(), 3u + 1u + THttpCli::kMaxRedirects);
}

TEST(HttpCliTest, NetworkFailuresCountAsNotFoundWithTheirReasons) {
    uint16_t closedPort;
    {
        ScriptServer gone([](Peer&) {});
        closedPort = gone.port();
    }
    ScriptServer reset([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhalf");
        std::this_thread::sleep_for(50ms);
        peer.reset();
    });
    ScriptServer stalls([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\nhalf");
        peer.stall();
    });
    ScriptServer closesEarly([](Peer& peer) { peer.send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhalf"); });
    ScriptServer notHttp([](Peer& peer) { peer.send("220 ftp server ready\r\n\r\n"); });
    struct Case {
        std::string url;
        std::string message;
    };
    const Case cases[] = {
        {"http://127.0.0.1:" + std::to_string(closedPort) + "/", "can't connect: Connection refused (Error #111)"},
        {"http://no host/", "can't resolve hostname to IP address"},
        {reset.url("/"), "Connection reset by peer (Error #104)"},
        {stalls.url("/"), "Connection timed out (Error #110)"},
        {closesEarly.url("/"), "Connection closed before the whole reply arrived"},
        {notHttp.url("/"), "Not an HTTP reply"},
    };
    for (const Case& c : cases) {
        THttpCli client;
        std::ostringstream file;
        client.URL = c.url;
        client.ReceiveStream = &file;
        client.Timeout = 300ms;
        Failure failure = syncGet(client);
        EXPECT_EQ(failure.message, c.message) << c.url;
        EXPECT_EQ(failure.code, 404) << c.url;
    }
}

TEST(HttpCliTest, ShutdownAbortsAndASecondRequestMeanwhileIsBusy) {
    ScriptServer server([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\nstart");
        peer.stall();
    });
    THttpCli client;
    client.URL = server.url("/");
    int pumps = 0;
    Failure nested;
    client.MessagePump = [&] {
        if (++pumps == 2) {
            nested = syncGet(client);  // e.g. a menu item clicked during the download
        }
    };
    client.Terminated = [&] { return pumps >= 20; };
    Failure failure = syncGet(client);
    EXPECT_EQ(failure.message, "Connection aborted on request");
    EXPECT_EQ(failure.code, 404);
    EXPECT_EQ(nested.message, "HTTP component is busy");

    // Idle again afterwards: the next request runs (and is aborted at once).
    pumps = 100;
    EXPECT_EQ(syncGet(client).message, "Connection aborted on request");
}

TEST(HttpCliTest, StreamThatCannotBeWrittenFailsTheDownload) {
    ScriptServer server([](Peer& peer) { peer.reply(200, "OK", "data"); });
    THttpCli client;
    std::ostringstream file;
    file.setstate(std::ios::badbit);
    client.URL = server.url("/");
    client.ReceiveStream = &file;
    EXPECT_EQ(syncGet(client).message, "Cannot write the received data");
}

TEST(HttpCliTest, TrickleFailsAtTheWholeDownloadsDeadline) {
    EXPECT_EQ(THttpCli().TotalTimeout, std::chrono::minutes(10));
    // One byte every 20 ms never trips the idle limit, in the head or the body.
    const std::string prefixes[] = {"HTTP/1.0 200 OK\r\nX-Slow: ", "HTTP/1.0 200 OK\r\n\r\n"};
    for (const std::string& prefix : prefixes) {
        ScriptServer server([&prefix](Peer& peer) { peer.trickleForever(prefix, 20ms); });
        THttpCli client;
        std::ostringstream file;
        client.URL = server.url("/velmora/velmorasetup.exe");
        client.ReceiveStream = &file;
        client.Timeout = 1s;
        client.TotalTimeout = 600ms;
        auto started = std::chrono::steady_clock::now();
        Failure failure = syncGet(client);
        EXPECT_EQ(failure.message, "Connection timed out (Error #110)") << prefix;
        EXPECT_EQ(failure.code, 404) << prefix;
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << prefix;
    }
}

TEST(HttpCliTest, EndlessBodyFailsAtTheSizeCapAsANetworkFailure) {
    EXPECT_EQ(THttpCli().MaxBody, uint64_t{256} * 1024 * 1024);
    const std::string heads[] = {"HTTP/1.0 200 OK\r\n\r\n", "HTTP/1.0 200 OK\r\nContent-Length: 999999999999\r\n\r\n"};
    for (const std::string& head : heads) {
        ScriptServer server([&head](Peer& peer) {
            peer.send(head);
            peer.sendForever();
        });
        THttpCli client;
        std::ostringstream file;
        client.URL = server.url("/velmora/velmorasetup.exe");
        client.ReceiveStream = &file;
        client.MaxBody = 1 << 20;
        Failure failure = syncGet(client);
        EXPECT_EQ(failure.message, "Reply too large") << head;
        EXPECT_EQ(failure.code, 404) << head;
        EXPECT_LE(file.str().size(), size_t{1} << 20) << head;
    }
}

TEST(HttpCliTest, RedirectIsFollowedAsSoonAsItsHeadArrives) {
    ScriptServer server([](Peer& peer) {
        if (peer.target() == "/a") {
            peer.send("HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n");
            peer.sendForever();  // a page that never ends
        } else {
            peer.reply(200, "OK", "the installer");
        }
    });
    THttpCli client;
    std::ostringstream file;
    client.URL = server.url("/a");
    client.ReceiveStream = &file;
    client.TotalTimeout = 5s;
    Failure failure = syncGet(client);
    EXPECT_EQ(failure.code, -1) << failure.message;
    EXPECT_EQ(file.str(), "the installer");
}

// Servers ought not to send either to an HTTP/1.0 client, but some do.
TEST(HttpCliTest, InterimRepliesAreSkippedAndChunkedBodiesDecoded) {
    using Script = std::function<void(Peer&)>;
    struct Case {
        std::string name;
        Script script;
        std::string body;     // what lands in the file
        std::string message;  // empty: success
    };
    const Case cases[] = {
        {"continue", [](Peer& p) { p.interim(100, "Continue"); p.reply(200, "OK", "setup"); }, "setup", ""},
        {"two interims in one piece",
         [](Peer& p) { p.send("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 200 OK\r\n\r\nab"); },
         "ab", ""},
        {"chunked", [](Peer& p) { p.replyChunked(200, {"velmora", std::string(70000, 's'), "!"}); },
         "velmora" + std::string(70000, 's') + "!", ""},
        {"extensions and trailers",
         [](Peer& p) { p.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 2\r\n\r\n"
                              "3;name=value\r\nabc\r\nA \r\n0123456789\r\n0\r\nX-Sum: 1\r\n\r\n"); },
         "abc0123456789", ""},
        {"interim then chunked error page", [](Peer& p) { p.interim(100, "Continue"); p.replyChunked(500, {"oops"}); },
         "oops", "OK"},
        {"bad chunk size", [](Peer& p) { p.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"); },
         "", "Damaged chunked reply"},
        {"cut short", [](Peer& p) { p.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab"); },
         "ab", "Connection closed before the whole reply arrived"},
        {"endless interims",
         [](Peer& p) {
             for (int i = 0; i <= kMaxInterimReplies; ++i) {
                 p.interim(100, "Continue");
             }
             p.reply(200, "OK", "late");
         },
         "", "Too many interim replies"},
    };
    for (const Case& c : cases) {
        ScriptServer server(c.script);
        THttpCli client;
        std::ostringstream file;
        client.URL = server.url("/velmora/velmorasetup.exe");
        client.ReceiveStream = &file;
        client.Timeout = 2s;
        Failure failure = syncGet(client);
        EXPECT_EQ(failure.message, c.message) << c.name;
        EXPECT_EQ(file.str(), c.body) << c.name;
    }
}

}  // namespace
}  // namespace velmora::online
