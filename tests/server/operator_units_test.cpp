// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces an operator relies on, one by one: ban patterns, client
// addresses behind proxies, the post rate, poster keys, the metrics text,
// access log lines, the new options and the admin command's refusals.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "server/access_log.h"
#include "server/admin_command.h"
#include "server/ban_rules.h"
#include "server/client_address.h"
#include "server/metrics.h"
#include "server/options.h"
#include "server/post_rate_limiter.h"
#include "server/poster_key.h"

namespace velmora::server {
namespace {

using namespace std::chrono_literals;

TEST(BanRulesTest, NamePatternsBecomeEscapedLikePatterns) {
    const std::pair<std::string, std::string> cases[] = {{"abc", "abc"},
                                                         {"rude*", "rude%"},
                                                         {"?x?", "_x_"},
                                                         {"50%_off", "50\\%\\_off"},
                                                         {"a\\b", "a\\\\b"}};
    for (const auto& [glob, like] : cases) {
        EXPECT_EQ(likePatternOf(glob), like) << glob;
    }
    for (const std::string& bad :
         {std::string(), std::string(kMaxBanPatternBytes + 1, 'a'), std::string("a\nb")}) {
        EXPECT_THROW(likePatternOf(bad), std::invalid_argument) << bad;
    }
    EXPECT_NO_THROW(likePatternOf(std::string(kMaxBanPatternBytes, 'a')));
}

TEST(BanRulesTest, PosterKeysAreSixteenLowercaseHexDigits) {
    EXPECT_TRUE(isPosterKey("0123456789abcdef"));
    for (const char* bad :
         {"", "0123456789abcde", "0123456789abcdef0", "0123456789ABCDEF", "0123456789abcdeg"}) {
        EXPECT_FALSE(isPosterKey(bad)) << bad;
    }
}

TEST(ClientAddressTest, OnlyATrustedProxysLastHopIsBelieved) {
    const std::vector<std::string> proxies = {"10.0.0.5", "::1"};
    struct Case {
        const char* peer;
        const char* forwarded;
        const char* client;
    };
    const Case cases[] = {
        {"198.51.100.1", "", "198.51.100.1"},
        {"198.51.100.1", "203.0.113.7",
         "198.51.100.1"},  // not a proxy: the header is the client's word
        {"10.0.0.5", "203.0.113.7", "203.0.113.7"},
        {"10.0.0.5", "1.2.3.4, 203.0.113.7",
         "203.0.113.7"},  // the first hop is whatever the client wrote
        {"10.0.0.5", " 203.0.113.7 ,  198.51.100.9 ", "198.51.100.9"},
        {"10.0.0.5", "1.2.3.4, unknown", "10.0.0.5"},  // not an address: the proxy itself
        {"10.0.0.5", "", "10.0.0.5"},
        {"::1", "2001:DB8:0:0::1", "2001:db8::1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clientAddress(c.peer, c.forwarded, proxies), c.client)
            << c.peer << " / " << c.forwarded;
    }
}

TEST(ClientAddressTest, AnIpv6SenderIsItsSlash64) {
    EXPECT_EQ(senderOf("203.0.113.7"), "203.0.113.7");
    EXPECT_EQ(senderOf("2001:db8:1:2:3:4:5:6"), "2001:db8:1:2::/64");
    EXPECT_EQ(senderOf("2001:db8:1:2::ffff"), senderOf("2001:db8:1:2:aaaa::1"));
    EXPECT_NE(senderOf("2001:db8:1:2::1"), senderOf("2001:db8:1:3::1"));
    EXPECT_EQ(senderOf("::ffff:203.0.113.7"), "::ffff:203.0.113.7");
}

TEST(PostRateLimiterTest, ABurstThenTheRefillRateAndEachSenderApart) {
    PostRateLimiter limiter(10);
    auto start = PostRateLimiter::Clock::now();
    int allowed = 0;
    for (int i = 0; i < 50; ++i) {
        allowed += limiter.allow("a", start) ? 1 : 0;
    }
    EXPECT_EQ(allowed, 10);
    EXPECT_TRUE(limiter.allow("b", start));
    EXPECT_FALSE(limiter.allow("a", start + 5s));  // 10 a minute: one every 6 seconds
    EXPECT_TRUE(limiter.allow("a", start + 6100ms));
    EXPECT_FALSE(limiter.allow("a", start + 6200ms));
    // Ten minutes of rest refill a minute's worth, no more.
    allowed = 0;
    for (int i = 0; i < 50; ++i) {
        allowed += limiter.allow("a", start + 600s) ? 1 : 0;
    }
    EXPECT_EQ(allowed, 10);
}

TEST(PostRateLimiterTest, ZeroAllowsEverythingAndMemoryStaysBounded) {
    PostRateLimiter open(0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(open.allow("a"));
    }
    PostRateLimiter limiter(1);
    auto now = PostRateLimiter::Clock::now();
    for (size_t i = 0; i <= kMaxRateLimitedSenders + 10; ++i) {
        limiter.allow(std::to_string(i), now);
    }
    EXPECT_LE(limiter.sendersRemembered(), kMaxRateLimitedSenders);
}

TEST(PosterKeyTest, KeysAreStablePerSecretAndTellNothingOfTheAddress) {
    PosterKey key("secret one");
    std::string first = key.of("203.0.113.7");
    EXPECT_TRUE(isPosterKey(first)) << first;
    EXPECT_EQ(first, PosterKey("secret one").of("203.0.113.7"));
    EXPECT_NE(first, key.of("203.0.113.8"));
    EXPECT_NE(first, PosterKey("secret two").of("203.0.113.7"));
    EXPECT_EQ(first.find("203"), std::string::npos);
    EXPECT_THROW(PosterKey(""), std::invalid_argument);
}

// The sample lines of a scrape, "name{labels}" to value; fails the test on
// any line that is not a comment or a sample.
std::map<std::string, double> parseMetrics(const std::string& text) {
    static const std::regex sample(
        R"(([a-zA-Z_:][a-zA-Z0-9_:]*(\{[a-z_]+="[^"]*"(,[a-z_]+="[^"]*")*\})?) (\S+))");
    static const std::regex comment(R"(# (HELP|TYPE) [a-zA-Z_:][a-zA-Z0-9_:]* .+)");
    std::map<std::string, double> samples;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_match(line, comment)) {
            continue;
        }
        EXPECT_TRUE(std::regex_match(line, match, sample)) << line;
        if (!match.empty()) {
            EXPECT_EQ(samples.count(match[1]), 0u) << "repeated: " << line;
            samples[match[1]] = std::stod(match[4]);
        }
    }
    return samples;
}

TEST(MetricsTest, AScrapeParsesAndCountsWhatWasDone) {
    Metrics metrics;
    metrics.recordRequest(Route::post, 200, 300us);
    metrics.recordRequest(Route::post, 200, 30ms);
    metrics.recordRequest(Route::post, 429, 10us);
    metrics.recordRequest(Route::post, 500, 2ms);
    metrics.recordRequest(Route::list, 200, 7s);
    metrics.recordRequest(Route::other, 404, 1us);
    metrics.recordRequest(Route::other, 500, 1us);  // not from the store
    std::map<std::string, double> samples = parseMetrics(metrics.render({3, 2, 4096, 77}));
    EXPECT_EQ(samples[R"(velmora_http_requests_total{route="post",status="200"})"], 2);
    EXPECT_EQ(samples[R"(velmora_http_requests_total{route="post",status="429"})"], 1);
    EXPECT_EQ(samples[R"(velmora_http_requests_total{route="other",status="404"})"], 1);
    EXPECT_EQ(samples.count(R"(velmora_http_requests_total{route="home",status="200"})"), 0u);
    EXPECT_EQ(samples[R"(velmora_post_duration_seconds_bucket{le="0.0005"})"], 2);
    EXPECT_EQ(samples[R"(velmora_post_duration_seconds_bucket{le="0.005"})"], 3);
    EXPECT_EQ(samples[R"(velmora_post_duration_seconds_bucket{le="+Inf"})"], 4);
    EXPECT_EQ(samples["velmora_post_duration_seconds_count"], 4);
    EXPECT_NEAR(samples["velmora_post_duration_seconds_sum"], 0.03231, 1e-6);
    EXPECT_EQ(samples[R"(velmora_page_duration_seconds_bucket{le="5"})"], 0);
    EXPECT_EQ(samples[R"(velmora_page_duration_seconds_bucket{le="+Inf"})"], 1);
    EXPECT_EQ(samples["velmora_store_errors_total"], 1);
    EXPECT_EQ(samples["velmora_open_connections"], 3);
    EXPECT_EQ(samples["velmora_refused_connections_total"], 2);
    EXPECT_EQ(samples["velmora_journal_bytes"], 4096);
    EXPECT_EQ(samples["velmora_scores"], 77);
}

TEST(MetricsTest, EveryGamePathHasItsRoute) {
    EXPECT_EQ(routeOf("/cgi-bin/velmora.cgi"), Route::post);
    EXPECT_EQ(routeOf("/counter/velmora.shtml"), Route::list);
    EXPECT_EQ(routeOf("/velmora/velmorasetup.exe.sig"), Route::signature);
    EXPECT_EQ(routeOf("/metrics"), Route::metrics);
    EXPECT_EQ(routeOf("/anything"), Route::other);
    EXPECT_EQ(routeName(Route::health), "health");
}

TEST(AccessLogTest, LinesAreCombinedFormatAndAlwaysOneLine) {
    AccessRecord record{"203.0.113.7", 1'000'000'000, "GET", "/counter/velmora.shtml", "HTTP/1.0",
                        200,           5120,          "",    "Velmora HTTPGet"};
    EXPECT_EQ(combinedLogLine(record),
              "203.0.113.7 - - [09/Sep/2001:01:46:40 +0000] \"GET /counter/velmora.shtml "
              "HTTP/1.0\" 200 5120 \"-\" \"Velmora HTTPGet\"\n");
    record.target = "/x\"y\nz\\";
    record.userAgent = "a\tb\xc3\xa9";
    record.bytes = 0;
    record.status = 429;
    EXPECT_EQ(combinedLogLine(record),
              "203.0.113.7 - - [09/Sep/2001:01:46:40 +0000] \"GET /x\\\"y\\x0az\\\\ "
              "HTTP/1.0\" 429 - \"-\" \"a\\x09b\\xc3\\xa9\"\n");
    std::string longAgent(kMaxLoggedField * 3, 'a');
    record.userAgent = longAgent;
    std::string line = combinedLogLine(record);
    EXPECT_LT(line.size(), kMaxLoggedField + 200);
    EXPECT_NE(line.find("a...\"\n"), std::string::npos);
}

TEST(OperatorOptionsTest, ReadsLimitsProxiesAndTheLog) {
    ServerOptions defaults = parseOptions({});
    EXPECT_EQ(defaults.postsPerMinute, 10u);
    EXPECT_FALSE(defaults.maxScore);
    EXPECT_FALSE(defaults.accessLog);
    ServerOptions set =
        parseOptions({"--post-rate", "30/min", "--max-score=65534", "--trusted-proxy", "10.0.0.5",
                      "--trusted-proxy=::1", "--access-log", "--db", "x.db"});
    EXPECT_EQ(set.postsPerMinute, 30u);
    EXPECT_EQ(set.maxScore, 65534u);
    EXPECT_EQ(set.trustedProxies, (std::vector<std::string>{"10.0.0.5", "::1"}));
    EXPECT_TRUE(set.accessLog);
    EXPECT_EQ(set.accessLogFile, "");
    EXPECT_EQ(set.database, "x.db");
    EXPECT_EQ(parseOptions({"--access-log=/var/log/v.log"}).accessLogFile, "/var/log/v.log");
    EXPECT_EQ(parseOptions({"--post-rate=0"}).postsPerMinute, 0u);
    const std::vector<std::vector<std::string>> refused = {{"--post-rate", "10/hour"},
                                                           {"--post-rate", "-1"},
                                                           {"--post-rate"},
                                                           {"--max-score", "1000000000"},
                                                           {"--max-score=x"},
                                                           {"--trusted-proxy", "proxy.example"},
                                                           {"--access-log="}};
    for (const auto& words : refused) {
        EXPECT_THROW(parseOptions(words), OptionsError) << words[0];
    }
}

TEST(AdminCommandTest, BadCallsAreUsageErrorsThatTouchNothing) {
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"--db", "/nonexistent/x.db", "frobnicate"},
        {"--db", "/nonexistent/x.db", "remove"},
        {"--db", "/nonexistent/x.db", "remove", "12", "x"},
        {"--db", "/nonexistent/x.db", "ban", "poster", "127.0.0.1"},
        {"--db", "/nonexistent/x.db", "ban", "name", ""},
        {"--db", "/nonexistent/x.db", "ban", "address", "x"},
        {"--db", "/nonexistent/x.db", "list", "--top"},
        {"--db", "/nonexistent/x.db", "list", "--since", "yesterday"},
        {"--db", "/nonexistent/x.db", "bans", "extra"},
        {"--db"},
    };
    for (const auto& call : calls) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runAdminCommand(call, out, err), 2) << (call.empty() ? "" : call.back());
        EXPECT_EQ(out.str(), "");
        EXPECT_NE(err.str().find("Usage: velmora-server admin"), std::string::npos);
    }
}

TEST(AdminCommandTest, FailuresSayWhyAndHelpIsOnStandardOutput) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runAdminCommand({"--db=/nonexistent/x.db", "list"}, out, err), 1);
    EXPECT_NE(err.str().find("no score database at /nonexistent/x.db"), std::string::npos)
        << err.str();
    err.str("");
    EXPECT_EQ(runAdminCommand({"--db=postgresql://u@h/d", "backup", "copy.db"}, out, err), 1);
    EXPECT_NE(err.str().find("pg_dump"), std::string::npos) << err.str();
    EXPECT_EQ(runAdminCommand({"--help"}, out, err), 0);
    EXPECT_EQ(out.str().rfind("Usage: velmora-server admin", 0), 0u);
}

}  // namespace
}  // namespace velmora::server
