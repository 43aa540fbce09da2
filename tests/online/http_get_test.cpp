// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/HTTPGet.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "tests/online/queue_dispatcher.h"
#include "tests/online/script_server.h"

namespace velmora::online {
namespace {

using namespace std::chrono_literals;
using testing::Peer;
using testing::QueueDispatcher;
using testing::ScriptServer;

// What the component reported, and on which thread.
struct Events {
    int done = 0;
    int errors = 0;
    std::string result;
    std::thread::id thread;
    bool busyDuringEvent = false;
    int total() const { return done + errors; }
};

class HttpGetTest : public ::testing::Test {
protected:
    void attach(THTTPGet& get) {
        get.OnDoneString = [this](THTTPGet& sender, const std::string& result) {
            ++events.done;
            events.result = result;
            events.thread = std::this_thread::get_id();
            events.busyDuringEvent = sender.busy();
        };
        get.OnError = [this](THTTPGet& sender) {
            ++events.errors;
            events.thread = std::this_thread::get_id();
            events.busyDuringEvent = sender.busy();
        };
    }

    // Fetches `url` and pumps until the one event has come.
    void fetch(const std::string& url, std::chrono::milliseconds timeout = 2s) {
        THTTPGet get(dispatcher);
        attach(get);
        get.URL = url;
        get.Timeout = timeout;
        get.FetchString();
        ASSERT_TRUE(dispatcher->pumpUntil([&] { return events.total() > 0; }));
        EXPECT_FALSE(get.busy());
    }

    std::shared_ptr<QueueDispatcher> dispatcher = std::make_shared<QueueDispatcher>();
    Events events;
};

TEST_F(HttpGetTest, SendsOneWellFormedGetAndDeliversTheBodyOnTheUiThread) {
    ScriptServer server([](Peer& peer) { peer.send("HTTP/1.0 200 OK\r\n\r\n1.0.0"); });
    THTTPGet get(dispatcher);
    attach(get);
    get.URL = server.url("/velmora/velmoraversion.txt");
    get.FetchString();
    EXPECT_TRUE(get.busy());
    ASSERT_TRUE(dispatcher->pumpUntil([&] { return events.total() > 0; }));

    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(events.result, "1.0.0");
    EXPECT_EQ(events.thread, std::this_thread::get_id());
    EXPECT_TRUE(events.busyDuringEvent);
    EXPECT_FALSE(get.busy());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0],
              "GET /velmora/velmoraversion.txt HTTP/1.0\r\n"
              "User-Agent: Velmora HTTPGet\r\n"
              "Accept: */*\r\n"
              "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"
              "Pragma: no-cache\r\n"
              "Cache-Control: no-cache\r\n"
              "\r\n");
}

TEST_F(HttpGetTest, QueryTextReachesTheWireWithoutBreakingTheRequestLine) {
    ScriptServer server([](Peer& peer) { peer.send("HTTP/1.0 200 OK\r\n\r\nok"); });
    struct Case {
        std::string query;
        std::string onWire;
    };
    const Case cases[] = {
        {"name=Guest&date=12/7/26&score=1520", "name=Guest&date=12/7/26&score=1520"},
        {"name=Ann Lee&date=1.5.09&score=0", "name=Ann%20Lee&date=1.5.09&score=0"},
        {"name=a&b=c#d", "name=a&b=c%23d"},
        {"name=J\xC3\xBCrgen", "name=J%C3%BCrgen"},
        {"name=x HTTP/1.1\r\nX-Injected: 1", "name=x%20HTTP/1.1%0D%0AX-Injected:%201"},
        {"name=100%&n=%41", "name=100%25&n=%41"},
    };
    for (const Case& c : cases) {
        events = {};
        fetch(server.url("/cgi-bin/velmora.cgi?" + c.query));
        std::string request = server.requests().back();
        EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /cgi-bin/velmora.cgi?" + c.onWire + " HTTP/1.0")
            << c.query;
        EXPECT_EQ(request.find("\nX-Injected"), std::string::npos) << c.query;
    }
}

// The status is never looked at: any body is a success, no body a failure.
TEST_F(HttpGetTest, OutcomeDependsOnTheBodyOnly) {
    struct Case {
        std::string reply;
        bool success;
        std::string body;
    };
    const Case cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", false, ""},
        {"HTTP/1.0 200 OK\r\n\r\n", false, ""},
        {"HTTP/1.0 404 Not Found\r\n\r\n<h1>gone</h1>", true, "<h1>gone</h1>"},
        {"HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\n\r\noops", true, "oops"},
        {"HTTP/1.0 200 OK\nContent-Length: 3\n\nabcdef", true, "abc"},
        {"SSH-2.0-OpenSSH\r\n\r\nhello", false, ""},
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nshort", false, ""},
        {"", false, ""},
        {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n\r\n1.0.1", true, "1.0.1"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n1.\r\n3\r\n0.1\r\n0\r\n\r\n", true, "1.0.1"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n1.0.1", false, ""},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\n1.0.1\r\n0\r\n\r\n", false, ""},
    };
    for (const Case& c : cases) {
        ScriptServer server([&c](Peer& peer) { peer.send(c.reply); });
        events = {};
        fetch(server.url("/"));
        EXPECT_EQ(events.done, c.success ? 1 : 0) << c.reply;
        EXPECT_EQ(events.errors, c.success ? 0 : 1) << c.reply;
        EXPECT_EQ(events.result, c.body) << c.reply;
    }
}

TEST_F(HttpGetTest, BodyIsReadToTheEndAcrossManyPieces) {
    std::string big(300000, 'v');
    ScriptServer server([&big](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\n");
        for (size_t at = 0; at < big.size(); at += 1000) {
            peer.send(std::string_view(big).substr(at, 1000));
        }
    });
    fetch(server.url("/counter/velmora.shtml"));
    EXPECT_EQ(events.result, big);
}

TEST_F(HttpGetTest, NetworkFaultsEndInOneErrorEvent) {
    std::vector<std::unique_ptr<ScriptServer>> servers;
    servers.push_back(std::make_unique<ScriptServer>([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\npartial");
        peer.reset();
    }));
    servers.push_back(std::make_unique<ScriptServer>([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\nfirst bytes");
        peer.stall();
    }));
    servers.push_back(std::make_unique<ScriptServer>([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\n");
        peer.sendForever();
    }));
    for (auto& server : servers) {
        events = {};
        fetch(server->url("/"), 300ms);
        EXPECT_EQ(events.errors, 1);
        EXPECT_EQ(events.done, 0);
    }
}

TEST_F(HttpGetTest, TrickleEndsInAnErrorAtTheWholeFetchsDeadline) {
    EXPECT_EQ(THTTPGet(dispatcher).TotalTimeout, 60s);
    const std::string prefixes[] = {"HTTP/1.0 200 OK\r\nX-Slow: ", "HTTP/1.0 200 OK\r\n\r\n"};
    for (const std::string& prefix : prefixes) {
        ScriptServer server([&prefix](Peer& peer) { peer.trickleForever(prefix, 20ms); });
        events = {};
        THTTPGet get(dispatcher);
        attach(get);
        get.URL = server.url("/velmora/velmoraversion.txt");
        get.Timeout = 1s;
        get.TotalTimeout = 500ms;
        get.FetchString();
        ASSERT_TRUE(dispatcher->pumpUntil([&] { return events.total() > 0; }, 5s)) << prefix;
        EXPECT_EQ(events.errors, 1) << prefix;
    }
}

TEST_F(HttpGetTest, UnreachableServerFailsWithoutBlockingTheCaller) {
    uint16_t closedPort;
    {
        ScriptServer gone([](Peer&) {});
        closedPort = gone.port();
    }
    for (std::string url : {"http://127.0.0.1:" + std::to_string(closedPort) + "/", std::string("http://bad host/"),
                            std::string("ftp://127.0.0.1/"), std::string("")}) {
        events = {};
        THTTPGet get(dispatcher);
        attach(get);
        get.URL = url;
        auto started = std::chrono::steady_clock::now();
        get.FetchString();
        EXPECT_LT(std::chrono::steady_clock::now() - started, 100ms);
        ASSERT_TRUE(dispatcher->pumpUntil([&] { return events.total() > 0; })) << url;
        EXPECT_EQ(events.errors, 1) << url;
    }
}

TEST_F(HttpGetTest, FetchWhileBusyIsIgnoredEvenFromInsideTheEvent) {
    ScriptServer server([](Peer& peer) {
        peer.stall();
        peer.send("HTTP/1.0 200 OK\r\n\r\n" + peer.target());
    });
    THTTPGet get(dispatcher);
    attach(get);
    get.URL = server.url("/first");
    get.FetchString();
    get.URL = server.url("/second");
    get.FetchString();
    auto again = get.OnDoneString;
    get.OnDoneString = [&](THTTPGet& sender, const std::string& result) {
        again(sender, result);
        sender.FetchString();  // still busy: ignored
    };
    dispatcher->pumpFor(100ms);
    server.release();
    ASSERT_TRUE(dispatcher->pumpUntil([&] { return events.total() > 0; }));
    dispatcher->pumpFor(200ms);
    EXPECT_EQ(events.done, 1);
    EXPECT_EQ(events.result, "/first");
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(HttpGetTest, CancelEndsTheFetchWithAnError) {
    ScriptServer server([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\nsome");
        peer.stall();
    });
    THTTPGet get(dispatcher);
    attach(get);
    get.URL = server.url("/");
    get.FetchString();
    dispatcher->pumpFor(100ms);
    get.CancelFetch();
    EXPECT_TRUE(get.busy());
    ASSERT_TRUE(dispatcher->pumpUntil([&] { return events.total() > 0; }, 2s));
    EXPECT_EQ(events.errors, 1);
    EXPECT_EQ(events.done, 0);
    EXPECT_FALSE(get.busy());
}

TEST_F(HttpGetTest, DestroyedComponentGetsNothingAndItsWorkerLetsGo) {
    ScriptServer server([](Peer& peer) {
        peer.send("HTTP/1.0 200 OK\r\n\r\nsome");
        peer.waitForClientToLeave();
    });
    auto get = std::make_unique<THTTPGet>(dispatcher);
    attach(*get);
    get->URL = server.url("/");
    get->FetchString();
    dispatcher->pumpFor(100ms);
    get.reset();
    EXPECT_TRUE(server.waitForClosed(1, 2s));
    dispatcher->pumpFor(200ms);
    EXPECT_EQ(events.total(), 0);
}

TEST_F(HttpGetTest, EventThatDestroysItsComponentIsSafe) {
    ScriptServer server([](Peer& peer) { peer.send("HTTP/1.0 200 OK\r\n\r\nbye"); });
    auto get = std::make_unique<THTTPGet>(dispatcher);
    get->URL = server.url("/");
    get->OnDoneString = [&](THTTPGet&, const std::string& result) {
        events.result = result;
        get.reset();
    };
    get->FetchString();
    ASSERT_TRUE(dispatcher->pumpUntil([&] { return get == nullptr; }));
    EXPECT_EQ(events.result, "bye");
}

TEST_F(HttpGetTest, WorkerWaitingForAnEndedProgramIsReleased) {
    ScriptServer server([](Peer& peer) { peer.send("HTTP/1.0 200 OK\r\n\r\nlate"); });
    THTTPGet get(dispatcher);
    attach(get);
    get.URL = server.url("/");
    get.FetchString();
    ASSERT_TRUE(server.waitForClosed(1, 2s));
    std::this_thread::sleep_for(50ms);  // the worker is now waiting to deliver
    dispatcher->shutdown();
    dispatcher->pumpFor(100ms);
    EXPECT_EQ(events.total(), 0);
}

TEST_F(HttpGetTest, PropertiesShapeTheRequest) {
    ScriptServer server([](Peer& peer) { peer.send("HTTP/1.0 200 OK\r\n\r\nok"); });
    THTTPGet get(dispatcher);
    attach(get);
    get.URL = "HTTP://127.0.0.1:" + std::to_string(server.port()) + "/post";
    get.Agent = "Agent X";
    get.AcceptTypes = "text/html";
    get.UseCache = true;
    get.PostQuery = "a=1";
    get.WaitThread = true;
    get.FetchString();
    EXPECT_EQ(events.done, 1);  // delivered before FetchString returned
    EXPECT_EQ(server.requests().at(0),
              "POST /post HTTP/1.0\r\n"
              "User-Agent: Agent X\r\n"
              "Accept: text/html\r\n"
              "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\n"
              "Content-Length: 3\r\n"
              "\r\n"
              "a=1");
}

}  // namespace
}  // namespace velmora::online
