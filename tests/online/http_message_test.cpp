#include <gtest/gtest.h>

#include "online/http_request.h"
#include "online/http_response_head.h"

namespace velmora::online {
namespace {

TEST(RequestHeadTest, EscapesWhatWouldBreakTheLineAndKeepsTheRest) {
    EXPECT_EQ(encodeRequestTarget("/cgi-bin/velmora.cgi?name=Guest&date=12/7/26&score=1520"),
              "/cgi-bin/velmora.cgi?name=Guest&date=12/7/26&score=1520");
    EXPECT_EQ(encodeRequestTarget("/?n= \t\x01\x7f\xff\"#<>\\^`{|}"),
              "/?n=%20%09%01%7F%FF%22%23%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(encodeRequestTarget("/%41%4g%"), "/%41%254g%25");

    std::string head = buildRequestHead("GET", "/a b", "1.0", {{"Accept", "*/*"}, {"User-Agent", "x\r\nEvil: 1"}});
    EXPECT_EQ(head, "GET /a%20b HTTP/1.0\r\nAccept: */*\r\nUser-Agent: x  Evil: 1\r\n\r\n");
}

TEST(ResponseHeadTest, ReadsStatusReasonAndTheHeadersThatMatter) {
    std::string reply =
        "HTTP/1.1 302 Found\r\nlocation: /next\r\nContent-Length:  12 \r\nLocation: /ignored\r\n\r\nbody";
    HeadParse parsed = parseResponseHead(reply);
    ASSERT_EQ(parsed.state, HeadState::complete);
    EXPECT_EQ(parsed.head.status, 302);
    EXPECT_EQ(parsed.head.reason, "Found");
    EXPECT_EQ(parsed.head.location, "/next");
    EXPECT_EQ(parsed.head.contentLength, 12u);
    EXPECT_EQ(parsed.headLength, reply.find("body"));

    parsed = parseResponseHead("HTTP/1.0 200\n\nx");
    ASSERT_EQ(parsed.state, HeadState::complete);
    EXPECT_EQ(parsed.head.reason, "");
    EXPECT_EQ(parsed.headLength, 14u);
    EXPECT_FALSE(parsed.head.contentLength);
}

TEST(ResponseHeadTest, TellsIncompleteFromMalformed) {
    EXPECT_EQ(parseResponseHead("").state, HeadState::incomplete);
    EXPECT_EQ(parseResponseHead("HTT").state, HeadState::incomplete);
    EXPECT_EQ(parseResponseHead("HTTP/1.0 200 OK\r\nServer: x\r\n").state, HeadState::incomplete);
    for (std::string bad : {"<html>\r\n\r\n", "HTTP/1.0 2x0 OK\r\n\r\n", "HTTP/1.0 099 Low\r\n\r\n",
                            "HTTP/1.0 2000 OK\r\n\r\n", "HTTP/1.0 200 OK\r\nno colon\r\n\r\n",
                            "HTTP/1.0 200 OK\r\nContent-Length: -1\r\n\r\n",
                            "HTTP/1.0 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
                            "HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\n"}) {
        EXPECT_EQ(parseResponseHead(bad).state, HeadState::malformed) << bad;
    }
    std::string endless = "HTTP/1.0 200 OK\r\n" + std::string(kMaxResponseHead, 'x');
    EXPECT_EQ(parseResponseHead(endless).state, HeadState::malformed);
}

TEST(ResponseHeadTest, FindsTheEndFromWhereTheLastSearchStopped) {
    std::string head = "HTTP/1.0 200 OK\r\n\r\n";
    EXPECT_EQ(findResponseHeadEnd(head, 0), head.size());
    EXPECT_EQ(findResponseHeadEnd(head, head.size() - 3), head.size());
    EXPECT_EQ(findResponseHeadEnd("HTTP/1.0 200 OK\r\n", 0), std::string_view::npos);
}

}  // namespace
}  // namespace velmora::online
