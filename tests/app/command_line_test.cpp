// SPDX-License-Identifier: GPL-3.0-or-later
// velmora --help and --version answer in the GNU form; anything else starts
// the game.

#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "velmora_version.h"

namespace velmora {
namespace {

TEST(CommandLine, HelpAndVersionAnswerAndEverythingElseStartsTheGame) {
    const std::string version = std::string("velmora ") + kVersion + "\n" + kVersionNotice;
    struct Case {
        std::vector<const char*> arguments;
        std::optional<int> status;
        std::string startsWith;  // of the output
    };
    const std::vector<Case> cases = {
        {{}, std::nullopt, ""},
        {{"--help"}, 0, "Usage: velmora [OPTION]\n"},
        {{"--version"}, 0, version},
        {{"-platform", "xcb", "--version", "--help"}, 0, version},
        {{"--help", "--version"}, 0, "Usage: velmora"},
        {{"--", "--help"}, std::nullopt, ""},
        {{"--helpme", "-h", "help", "-version"}, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"velmora"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        std::ostringstream out;
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(answerCommandLine(static_cast<int>(argv.size()), argv.data(), out), c.status);
        EXPECT_EQ(out.str().substr(0, c.startsWith.size()), c.startsWith);
        if (!c.status) {
            EXPECT_EQ(out.str(), "");
        }
    }
    std::ostringstream help;
    const char* argv[] = {"velmora", "--help"};
    answerCommandLine(2, argv, help);
    EXPECT_NE(help.str().find("      --help         display this help and exit\n"),
              std::string::npos);
    EXPECT_NE(help.str().find("      --version      output version information and exit\n"),
              std::string::npos);
}

}  // namespace
}  // namespace velmora
