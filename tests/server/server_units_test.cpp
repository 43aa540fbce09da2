// SPDX-License-Identifier: GPL-3.0-or-later
// The server's pure parts: reading a post, the pages, the command line.
#include <gtest/gtest.h>

#include "server/options.h"
#include "server/pages.h"
#include "server/score_query.h"

namespace velmora::server {
namespace {

TEST(ScoreQueryTest, TakesTheGamesQueryWithNamesHoldingAmpersandsAndEquals) {
    struct Case {
        std::string query;
        std::string name;
        std::string date;
        uint32_t score;
    };
    const Case cases[] = {
        {"name=Guest&date=12/7/26&score=1520", "Guest", "12/7/26", 1520},
        {"name=Tom&Jerry=1&date=1.5.09&score=0", "Tom&Jerry=1", "1.5.09", 0},
        {"name=a&date=b&date=1-5-09&score=3", "a&date=b", "1-5-09", 3},
        {"name=Ann%20Lee&date=1%2F5%2F09&score=7", "Ann Lee", "1/5/09", 7},
        {"name=a+b&date=1/5/09&score=7", "a+b", "1/5/09", 7},
        {"score=9&name=Late&date=2/3/04", "Late", "2/3/04", 9},
        {"name=x&date=1. 5. 09&score=1", "x", "1. 5. 09", 1},
        {"name=J%C3%BCrgen%00%1F&date=1/5/09&score=999999999", "J\xC3\xBCrgen", "1/5/09", 999999999},
        {"name=%C0%AF%ED%A0%80&date=1/5/09&score=1", "?????", "1/5/09", 1},
    };
    for (const Case& c : cases) {
        auto decoded = decodeScoreQuery(c.query);
        ASSERT_TRUE(std::holds_alternative<ScoreEntry>(decoded)) << c.query << ": "
                                                                 << std::get<QueryError>(decoded).reason;
        const ScoreEntry& entry = std::get<ScoreEntry>(decoded);
        EXPECT_EQ(entry.name, c.name) << c.query;
        EXPECT_EQ(entry.date, c.date) << c.query;
        EXPECT_EQ(entry.score, c.score) << c.query;
    }
}

TEST(ScoreQueryTest, RefusesWhatTheGameNeverSends) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "name, date and score are needed"},
        {"name=a&date=1/5/09", "name, date and score are needed"},
        {"name=&date=1/5/09&score=1", "empty name"},
        {"name=%01%02&date=1/5/09&score=1", "empty name"},
        {"name=a&date=0/5/09&score=1", "bad date"},
        {"name=a&date=1/5/9&score=1", "bad date"},
        {"name=a&date=1/5-09&score=1", "bad date"},
        {"name=a&date=1x5x09&score=1", "bad date"},
        {"name=a&date=1/5/09%0A&score=1", "bad date"},
        {"name=a&date=1/5/09&score=", "bad score"},
        {"name=a&date=1/5/09&score=1e3", "bad score"},
        {"name=a&date=1/5/09&score=" + std::string(10, '9'), "bad score"},
        {std::string(kMaxQuery + 1, 'q'), "query too long"},
    };
    for (const auto& [query, reason] : cases) {
        auto decoded = decodeScoreQuery(query);
        ASSERT_TRUE(std::holds_alternative<QueryError>(decoded)) << query;
        EXPECT_EQ(std::get<QueryError>(decoded).reason, reason) << query;
    }
}

std::string repeat(std::string_view part, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i) {
        out += part;
    }
    return out;
}

// A name from the game's settings file may be far longer than the list keeps:
// it is cut to its first 32 characters, never inside one, and stored.
TEST(ScoreQueryTest, CutsLongNamesBetweenCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {std::string(33, 'x'), std::string(32, 'x')},
        {std::string(2047, 'y'), std::string(32, 'y')},
        {repeat("%C3%A9", 32), repeat("\xC3\xA9", 32)},
        {repeat("%C3%A9", 40), repeat("\xC3\xA9", 32)},
        {"a" + repeat("%E2%82%AC", 2047), "a" + repeat("\xE2\x82\xAC", 31)},
        {repeat("%F0%9F%8E%AE", 33), repeat("\xF0\x9F\x8E\xAE", 32)},
        // Dropped control characters do not count; each bad byte is one "?".
        {repeat("%01", 50) + repeat("b", 40), std::string(32, 'b')},
        {repeat("%FF", 40), std::string(32, '?')},
    };
    for (const auto& [name, stored] : cases) {
        std::string query = "name=" + name + "&date=1/5/09&score=1";
        ASSERT_LE(query.size(), kMaxQuery);
        auto decoded = decodeScoreQuery(query);
        ASSERT_TRUE(std::holds_alternative<ScoreEntry>(decoded)) << name;
        EXPECT_EQ(std::get<ScoreEntry>(decoded).name, stored) << name;
    }
}

TEST(PagesTest, EscapesEveryPlayerTextAndNumbersTheRanks) {
    EXPECT_EQ(htmlEscape("<a href='x'>&\"</a>"), "&lt;a href=&#39;x&#39;&gt;&amp;&quot;&lt;/a&gt;");
    std::string page = scoreListPage({{"<i>", "1/5/09", 30}, {"b&b", "2/5/09\"", 20}}, 2);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    EXPECT_LT(page.find(">1<"), page.find(">&lt;i&gt;<"));
    EXPECT_LT(page.find(">&lt;i&gt;<"), page.find(">2<"));
    EXPECT_NE(page.find(">b&amp;b<"), std::string::npos);
    EXPECT_NE(page.find(">2/5/09&quot;<"), std::string::npos);
}

TEST(PagesTest, TheListCountsEveryPostAndCarriesTheTrophyInside) {
    std::string page = scoreListPage({{"Ann", "1/5/09", 30}}, 1234);
    EXPECT_NE(page.find("1234 scores posted in all"), std::string::npos);
    EXPECT_NE(scoreListPage({{"Ann", "1/5/09", 30}}, 1).find(">1 score posted in all<"), std::string::npos);
    EXPECT_NE(scoreListPage({}, 0).find("No scores yet"), std::string::npos);

    // The trophy is the game's own PNG, whole, as a data: address.
    std::string_view png = trophyPicturePng();
    ASSERT_GT(png.size(), 100u);
    EXPECT_EQ(png.substr(0, 8), std::string_view("\x89PNG\r\n\x1A\n", 8));
    EXPECT_NE(page.find("<img src=\"data:image/png;base64," + base64(png) + "\" width=\"110\" height=\"116\""),
              std::string::npos);
    EXPECT_EQ(page.find("src=\"http"), std::string::npos);

    const std::pair<std::string, std::string> vectors[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xFF\xFE\x00", 3), "//4A"}};
    for (const auto& [bytes, encoded] : vectors) {
        EXPECT_EQ(base64(bytes), encoded);
    }
}

TEST(OptionsTest, ReadsEachOptionAndRefusesTheUnknown) {
    ServerOptions options = parseOptions({"--listen", "0.0.0.0:9000", "--db=/tmp/s.db", "--version-text", "2.0",
                                          "--installer", "/tmp/setup.exe"});
    EXPECT_EQ(options.host, "0.0.0.0");
    EXPECT_EQ(options.port, 9000);
    EXPECT_EQ(options.database, "/tmp/s.db");
    EXPECT_EQ(options.versionText, "2.0");
    EXPECT_EQ(options.installer, "/tmp/setup.exe");
    ServerOptions defaults = parseOptions({});
    EXPECT_EQ(defaults.host, "127.0.0.1");
    EXPECT_EQ(defaults.port, 8080);
    EXPECT_EQ(defaults.versionText, "1.0.0");
    EXPECT_EQ(parseOptions({"--listen", "[::1]:0"}).host, "::1");
    EXPECT_EQ(defaults.threads, 0u);
    EXPECT_EQ(parseOptions({"--threads", "4"}).threads, 4u);
    EXPECT_EQ(parseOptions({"--threads=1"}).threads, 1u);
    for (std::vector<std::string> bad : {std::vector<std::string>{"--port", "1"}, {"--db"}, {"--listen", "8080"},
                                         {"--listen", "host:99999"}, {"--listen", "host:x"}, {"--threads", "0"},
                                         {"--threads", "-2"}, {"--threads", "3x"}, {"--threads", "100000"},
                                         {"--threads"}}) {
        EXPECT_THROW(parseOptions(bad), OptionsError) << bad[0];
    }
    std::string usage = usageText();
    EXPECT_EQ(usage.rfind("Usage: velmora-server [OPTION]...\n", 0), 0u);
    for (const char* option : {"--listen", "--db", "--version-text", "--installer", "--threads", "--help"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

}  // namespace
}  // namespace velmora::server
