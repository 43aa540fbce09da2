// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's command line: --help and --version answer in the GNU form, as
// the other programs of Velmora do, without opening a window; every other
// argument is ignored.

#include <optional>
#include <ostream>

namespace velmora {

// Prints the answer to --help or --version (the first of the two on the line,
// up to a "--") to `out` and gives the exit status; nothing when the game
// should start.
std::optional<int> answerCommandLine(int argc, const char* const* argv, std::ostream& out);

}  // namespace velmora
