// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <string_view>

#include "velmora_version.h"

namespace velmora {

namespace {

// The --help text, written as the manual page's synopsis would be.
constexpr const char* kHelp =
    "Usage: velmora [OPTION]\n"
    "Play Velmora, a falling-block puzzle game.\n"
    "\n"
    "Options:\n"
    "      --help         display this help and exit\n"
    "      --version      output version information and exit\n"
    "\n"
    "Any other argument is ignored. In the game, F1 shows the keys and the rules.\n"
    "\n"
    "The settings (velmora.ini) and the tally file live beside the program when\n"
    "its folder is writable, otherwise in ~/.local/share/velmora/.\n";

}  // namespace

std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "--help") {
            out << kHelp;
            return out.flush() ? 0 : 1;
        }
        if (argument == "--version") {
            out << "velmora " << kVersion << "\n" << kVersionNotice;
            return out.flush() ? 0 : 1;
        }
    }
    return std::nullopt;
}

}  // namespace velmora
