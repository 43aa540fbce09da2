// SPDX-License-Identifier: GPL-3.0-or-later
// Text put into a query: only unreserved characters (and those asked for)
// stay as they are.
#include "online/query_encoding.h"

#include <gtest/gtest.h>

namespace velmora::online {
namespace {

TEST(QueryEncodingTest, EncodesEveryByteButTheUnreservedAndTheKept) {
    const struct {
        std::string text;
        std::string keep;
        std::string encoded;
    } cases[] = {
        {"Guest", "", "Guest"},
        {"AZaz09-._~", "", "AZaz09-._~"},
        {"x&score=99999", "", "x%26score%3D99999"},
        {"a b#c%d+e", "", "a%20b%23c%25d%2Be"},
        {"Zo\xC3\xAB", "", "Zo%C3%AB"},
        {"12/7/26", "/", "12/7/26"},
        {"12/7/26", "", "12%2F7%2F26"},
        {"1.5.09", "/", "1.5.09"},
        {std::string("a\0b", 3), "", "a%00b"},
        {"\x7F\xFF", "", "%7F%FF"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(percentEncode(c.text, c.keep), c.encoded) << c.text;
    }
}

}  // namespace
}  // namespace velmora::online
