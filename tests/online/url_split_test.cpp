// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/url_split.h"

#include <gtest/gtest.h>

namespace velmora::online {
namespace {

struct SplitCase {
    std::string url;
    bool valid;
    std::string host;
    uint16_t port;
    std::string target;
};

class SplitUrlTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitUrlTest, SplitsHostPortAndTarget) {
    const SplitCase& c = GetParam();
    std::optional<HttpAddress> address = splitUrl(c.url);
    ASSERT_EQ(address.has_value(), c.valid) << c.url;
    if (c.valid) {
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
        EXPECT_EQ(address->target, c.target);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, SplitUrlTest,
    ::testing::Values(
        SplitCase{"http://www.nivolt.com/velmora/velmoraversion.txt", true, "www.nivolt.com", 80,
                  "/velmora/velmoraversion.txt"},
        SplitCase{"HtTp://127.0.0.1:8080/cgi-bin/velmora.cgi?name=a/b&score=1", true, "127.0.0.1", 8080,
                  "/cgi-bin/velmora.cgi?name=a/b&score=1"},
        SplitCase{"localhost", true, "localhost", 80, "/"},
        SplitCase{"host:/x", true, "host", 80, "/x"},
        SplitCase{"http://[::1]:9000/p", true, "::1", 9000, "/p"},
        SplitCase{"http://host/a?u=http://other/", true, "host", 80, "/a?u=http://other/"},
        SplitCase{"https://host/", false, "", 0, ""},
        SplitCase{"http://", false, "", 0, ""},
        SplitCase{"http://user@host/", false, "", 0, ""},
        SplitCase{"http://host:0/", false, "", 0, ""},
        SplitCase{"http://host:65536/", false, "", 0, ""},
        SplitCase{"http://host:80x/", false, "", 0, ""},
        SplitCase{"http://ho st/", false, "", 0, ""},
        SplitCase{"http://host\r\nX: y/", false, "", 0, ""},
        SplitCase{"http://[::1/", false, "", 0, ""}));

TEST(HostHeaderTest, NamesThePortOnlyWhenItIsNotTheDefault) {
    EXPECT_EQ(hostHeaderValue({"www.nivolt.com", 80, "/"}), "www.nivolt.com");
    EXPECT_EQ(hostHeaderValue({"127.0.0.1", 8080, "/"}), "127.0.0.1:8080");
    EXPECT_EQ(hostHeaderValue({"::1", 8080, "/"}), "[::1]:8080");
}

TEST(ResolveLocationTest, KeepsOrReplacesTheServerAsTheHeaderSays) {
    HttpAddress base{"host", 8080, "/velmora/velmorasetup.exe?x=/y"};
    EXPECT_EQ(resolveLocation(base, "/other")->target, "/other");
    EXPECT_EQ(resolveLocation(base, "/other")->port, 8080);
    EXPECT_EQ(resolveLocation(base, "new.exe")->target, "/velmora/new.exe");
    std::optional<HttpAddress> moved = resolveLocation(base, "http://mirror:81/setup.exe");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->host, "mirror");
    EXPECT_EQ(moved->port, 81);
    EXPECT_FALSE(resolveLocation(base, "https://mirror/setup.exe"));
    EXPECT_FALSE(resolveLocation(base, ""));
}

}  // namespace
}  // namespace velmora::online
