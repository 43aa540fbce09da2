// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/URL.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/recording_shell.h"

namespace velmora::online {
namespace {

using testing::RecordingShell;

TEST(URLTest, HandsThePrefixedAddressToTheShellWhole) {
    RecordingShell shell;
    TURL url(shell);
    url.URL = "www.nivolt.com";
    EXPECT_TRUE(url.OpenURL());  // utHttp by default
    url.URLType = TURLType::utnone;
    url.URL = "http://127.0.0.1:8080/counter/velmora.shtml";
    EXPECT_TRUE(url.OpenURL());
    std::string longLink = "http://example.com/" + std::string(500, 'a');
    url.URL = longLink;
    EXPECT_TRUE(url.OpenURL());
    EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.nivolt.com",
                                                      "http://127.0.0.1:8080/counter/velmora.shtml", longLink}));
}

TEST(URLTest, EmptyAddressOpensNothingAndShellRefusalIsReported) {
    RecordingShell shell;
    TURL url(shell);
    EXPECT_FALSE(url.OpenURL());
    EXPECT_TRUE(shell.opened.empty());
    shell.accepts = false;
    url.URL = "mailto:someone@example.com";
    url.URLType = TURLType::utnone;
    EXPECT_FALSE(url.OpenURL());
    EXPECT_EQ(shell.opened.size(), 1u);
}

}  // namespace
}  // namespace velmora::online
