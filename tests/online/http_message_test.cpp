// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <utility>

#include "online/chunked_body.h"
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

// Decodes `bytes` fed in pieces of `step` bytes; returns the body and the state.
std::pair<std::string, ChunkedDecoder::State> decodeChunked(std::string_view bytes, size_t step) {
    ChunkedDecoder decoder;
    std::string body;
    for (size_t at = 0; at < bytes.size(); at += step) {
        decoder.feed(bytes.substr(at, step), [&body](std::string_view data) { body.append(data); });
    }
    return {body, decoder.state()};
}

TEST(ChunkedBodyTest, DecodesTheSameWhereverTheBytesAreSplit) {
    using State = ChunkedDecoder::State;
    struct Case {
        std::string wire;
        std::string body;
        State state;
    };
    const Case cases[] = {
        {"5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n", "hello world", State::done},
        {"a;ext=\"x\"\r\n0123456789\r\n0;last\r\nTrailer: 1\r\nMore: 2\r\n\r\nignored", "0123456789", State::done},
        {"3\nabc\n0\n\n", "abc", State::done},
        {"F \r\n" + std::string(15, 'f') + "\r\n0\r\n\r\n", std::string(15, 'f'), State::done},
        {"5\r\nhel", "hel", State::more},
        {"5\r\nhello\r\n", "hello", State::more},
        {"0\r\nTrailer: 1\r\n", "", State::more},
        {"\r\n", "", State::malformed},
        {"-1\r\n", "", State::malformed},
        {"0x5\r\nhello\r\n0\r\n\r\n", "", State::malformed},
        {"5\r\nhelloX\r\n0\r\n\r\n", "hello", State::malformed},
        {"1000000000000000\r\n", "", State::malformed},  // 16 digits
        {std::string(ChunkedDecoder::kMaxLine + 1, '0'), "", State::malformed},
        {"1;" + std::string(ChunkedDecoder::kMaxLine, 'e') + "\r\n", "", State::malformed},
    };
    for (const Case& c : cases) {
        for (size_t step : {size_t{1}, size_t{2}, size_t{7}, c.wire.size() + 1}) {
            auto [body, state] = decodeChunked(c.wire, step);
            EXPECT_EQ(body, c.body) << c.wire.substr(0, 40) << " in pieces of " << step;
            EXPECT_EQ(state, c.state) << c.wire.substr(0, 40) << " in pieces of " << step;
        }
    }
}

TEST(ChunkedBodyTest, TrailersAreBoundedInTotal) {
    std::string wire = "0\r\n";
    while (wire.size() <= ChunkedDecoder::kMaxTrailers) {
        wire += "X-Pad: " + std::string(100, 'p') + "\r\n";
    }
    EXPECT_EQ(decodeChunked(wire, 4096).second, ChunkedDecoder::State::malformed);
}

TEST(ResponseHeadTest, TransferEncodingOverridesTheLength) {
    HeadParse parsed = parseResponseHead("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n");
    ASSERT_EQ(parsed.state, HeadState::complete);
    EXPECT_TRUE(parsed.head.chunked);
    EXPECT_FALSE(parsed.head.contentLength);
    parsed = parseResponseHead("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\n\r\n");
    EXPECT_FALSE(parsed.head.chunked);  // read to the end of the stream as it is
    parsed = parseResponseHead("HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n");
    EXPECT_TRUE(parsed.head.isInterim());
}

}  // namespace
}  // namespace velmora::online
