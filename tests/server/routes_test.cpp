// SPDX-License-Identifier: GPL-3.0-or-later
// The routes against a store kept in memory: replies, refusals, the page cache.
#include "server/routes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <thread>

#include "server/limits.h"
#include "tests/platform/temp_folder.h"

namespace velmora::server {
namespace {

class MemoryStore : public Store {
public:
    void add(const ScoreEntry& entry) override {
        if (broken) {
            throw StoreError("disk full");
        }
        if (outOfMemory) {
            throw std::bad_alloc();
        }
        if (banning) {
            throw BannedEntry();
        }
        std::lock_guard lock(mutex);
        entries.push_back(entry);
        ++generationCount;
    }
    std::vector<ScoreEntry> best(size_t limit) override {
        int running = ++rendering;
        maxRendering = std::max(maxRendering.load(), running);
        ++bestCalls;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::lock_guard lock(mutex);
        std::vector<ScoreEntry> sorted = entries;
        std::stable_sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.score > b.score; });
        sorted.resize(std::min(limit, sorted.size()));
        --rendering;
        return sorted;
    }
    uint64_t count() override {
        if (broken) {
            throw StoreError("gone");
        }
        std::lock_guard lock(mutex);
        return entries.size();
    }
    uint64_t generation() override { return generationCount; }

    std::mutex mutex;
    std::vector<ScoreEntry> entries;
    std::atomic<uint64_t> generationCount = 0;
    std::atomic<bool> broken = false;
    std::atomic<bool> outOfMemory = false;
    std::atomic<bool> banning = false;
    std::atomic<int> bestCalls = 0;
    std::atomic<int> rendering = 0;
    std::atomic<int> maxRendering = 0;
};

std::string bodyOf(HttpReply& reply) {
    if (reply.file) {
        std::string bytes(reply.file->size(), '\0');
        int fd = reply.file->release();
        EXPECT_EQ(::pread(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
        return bytes;
    }
    return reply.body ? *reply.body : std::string();
}

// The routes' answer, waited for: it may come from the store's threads.
HttpReply answerOf(Routes& routes, const HttpRequest& request) {
    auto promise = std::make_shared<std::promise<HttpReply>>();
    std::future<HttpReply> reply = promise->get_future();
    routes.handle(request, Responder([promise](HttpReply answer) { promise->set_value(std::move(answer)); }));
    return reply.get();
}

HttpReply get(Routes& routes, std::string_view path, std::string_view query = "") {
    return answerOf(routes, {"GET", path, query});
}

TEST(RoutesTest, AnswersEachPathAsTheGameExpects) {
    testing::TempFolder folder;
    std::string installer = folder.file("setup.exe");
    testing::writeFile(installer, std::string("MZ\0\x01installer", 13));
    testing::writeFile(installer + ".sig", std::string(64, '\x5A'));
    ServerOptions options;
    options.installer = installer;
    options.versionText = "1.0.1";
    MemoryStore store;
    Routes routes(options, store);
    struct Case {
        std::string path;
        std::string query;
        unsigned status;
        std::string body;  // "*": any non-empty body
    };
    const Case cases[] = {
        {"/velmora/velmoraversion.txt", "", 200, "1.0.1"},
        {"/velmora/velmorasetup.exe", "", 200, std::string("MZ\0\x01installer", 13)},
        {"/velmora/velmorasetup.exe.sig", "", 200, std::string(64, '\x5A')},
        {"/cgi-bin/velmora.cgi", "name=Ann&date=1/5/09&score=10", 200, "score received\n"},
        {"/cgi-bin/velmora.cgi", "name=" + std::string(2047, 'L') + "&date=1/5/09&score=20", 200,
         "score received\n"},
        // Refused posts carry no body: the game counts any body as success.
        {"/cgi-bin/velmora.cgi", "name=Ann&date=1/5/09&score=x", 400, ""},
        {"/cgi-bin/velmora.cgi", "name=Ann&date=1/5/09", 400, ""},
        {"/cgi-bin/velmora.cgi", "", 400, ""},
        {"/cgi-bin/velmora.cgi", std::string(kMaxQuery + 1, 'q'), 400, ""},
        {"/counter/velmora.shtml", "", 200, "*"},
        {"/healthz", "", 200, "ok\n"},
        {"/", "", 200, "*"},
        {"/cgi-bin/other.cgi", "", 404, "error 404\n"},
        {"/velmora/velmorasetup.exe.sig/", "", 404, "error 404\n"},
    };
    for (const Case& c : cases) {
        HttpReply reply = get(routes, c.path, c.query);
        EXPECT_EQ(reply.status, c.status) << c.path << "?" << c.query.substr(0, 40);
        std::string body = bodyOf(reply);
        if (c.body == "*") {
            EXPECT_FALSE(body.empty()) << c.path;
        } else {
            EXPECT_EQ(body, c.body) << c.path << "?" << c.query.substr(0, 40);
        }
    }
    ASSERT_EQ(store.entries.size(), 2u);
    EXPECT_EQ(store.entries[1].name, std::string(kMaxNameChars, 'L'));
    HttpReply list = get(routes, "/counter/velmora.shtml");
    std::string page = bodyOf(list);
    EXPECT_NE(page.find(">" + std::string(kMaxNameChars, 'L') + "<"), std::string::npos);
}

TEST(RoutesTest, FilesThatAreMissingOrNotRegularAre404) {
    testing::TempFolder folder;
    std::string installer = folder.file("setup.exe");
    testing::writeFile(installer, "x");
    MemoryStore store;
    for (const std::string& path : {std::string(), installer, folder.path().string()}) {
        ServerOptions options;
        options.installer = path;
        Routes routes(options, store);
        EXPECT_EQ(get(routes, "/velmora/velmorasetup.exe.sig").status, 404u) << path;
        HttpReply reply = get(routes, "/velmora/velmorasetup.exe");
        EXPECT_EQ(reply.status, path == installer ? 200u : 404u) << path;
    }
}

TEST(RoutesTest, AStoreThatFailsGivesErrorStatusesAndNoPostBody) {
    MemoryStore store;
    Routes routes(ServerOptions{}, store);
    for (std::atomic<bool>* failure : {&store.broken, &store.outOfMemory}) {
        *failure = true;
        HttpReply post = get(routes, "/cgi-bin/velmora.cgi", "name=Ann&date=1/5/09&score=10");
        EXPECT_EQ(post.status, 500u);
        EXPECT_EQ(bodyOf(post), "");
        *failure = false;
    }
    EXPECT_TRUE(store.entries.empty());
    store.broken = true;
    EXPECT_EQ(get(routes, "/healthz").status, 503u);
    store.broken = false;
    EXPECT_EQ(get(routes, "/healthz").status, 200u);
}

TEST(RoutesTest, ThePostGateLimitsCapsAndStampsPostsAndBansRefuseThem) {
    MemoryStore store;
    PostGate gate({2, 100, {"10.0.0.5"}}, "a secret");
    Routes routes(ServerOptions{}, store, &gate);
    auto postFrom = [&](std::string_view peer, std::string_view query, std::string_view forwarded = "") {
        HttpRequest request{"GET", "/cgi-bin/velmora.cgi", query};
        request.peer = peer;
        request.forwardedFor = forwarded;
        return answerOf(routes, request);
    };
    HttpReply over = postFrom("203.0.113.7", "name=Greedy&date=1/5/09&score=101");
    EXPECT_EQ(over.status, 400u);
    EXPECT_EQ(bodyOf(over), "");
    EXPECT_EQ(postFrom("203.0.113.7", "name=Ann&date=1/5/09&score=100").status, 200u);
    // The cap's refusal counted against the rate too: two posts, then 429.
    HttpReply limited = postFrom("203.0.113.7", "name=Ann&date=1/5/09&score=1");
    EXPECT_EQ(limited.status, 429u);
    EXPECT_EQ(bodyOf(limited), "");
    EXPECT_EQ(postFrom("203.0.113.7", "garbage").status, 429u);
    // Behind the trusted proxy, the forwarded address is the sender.
    EXPECT_EQ(postFrom("10.0.0.5", "name=Bob&date=1/5/09&score=5", "203.0.113.8").status, 200u);
    ASSERT_EQ(store.entries.size(), 2u);
    EXPECT_EQ(store.entries[0].poster, PosterKey("a secret").of("203.0.113.7"));
    EXPECT_EQ(store.entries[1].poster, PosterKey("a secret").of("203.0.113.8"));
    store.banning = true;
    HttpReply banned = postFrom("198.51.100.1", "name=Rude&date=1/5/09&score=5");
    EXPECT_EQ(banned.status, 400u);
    EXPECT_EQ(bodyOf(banned), "");
}

TEST(RoutesTest, PageIsRenderedOnlyWhenTheScoresChangedAndOneAtATime) {
    MemoryStore store;
    Routes routes(ServerOptions{}, store);
    HttpReply first = get(routes, "/counter/velmora.shtml");
    HttpReply second = get(routes, "/counter/velmora.shtml");
    EXPECT_EQ(store.bestCalls, 1);
    EXPECT_EQ(first.body.get(), second.body.get());  // the same cached page, not a copy
    get(routes, "/cgi-bin/velmora.cgi", "name=Newcomer&date=1/5/09&score=10");
    HttpReply third = get(routes, "/counter/velmora.shtml");
    EXPECT_EQ(store.bestCalls, 2);
    EXPECT_NE(third.body->find(">Newcomer<"), std::string::npos);

    // Readers and a poster at once: never two renders at the same time, and
    // a reader that asks after a post sees it.
    std::atomic<bool> stop = false;
    std::atomic<int> missed = 0;
    std::vector<std::thread> readers;
    for (int r = 0; r < 6; ++r) {
        readers.emplace_back([&] {
            while (!stop) {
                size_t before = store.count();
                std::string page = *get(routes, "/counter/velmora.shtml").body;
                if (before >= 2 && page.find(">P" + std::to_string(before - 1) + "<") == std::string::npos) {
                    ++missed;
                }
            }
        });
    }
    for (int i = 1; i < 60; ++i) {
        get(routes, "/cgi-bin/velmora.cgi", "name=P" + std::to_string(i) + "&date=1/5/09&score=" + std::to_string(10 + i));
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(store.maxRendering, 1);
    EXPECT_EQ(missed, 0);
    EXPECT_LE(store.bestCalls, 2 + 60);
}

}  // namespace
}  // namespace velmora::server
