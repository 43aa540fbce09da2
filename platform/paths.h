// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the program and its files live.

#include <string>

namespace velmora::platform {

// Full path of the running program, from /proc/self/exe.
std::string executablePath();

// Folder of the running program, with a trailing '/'.
std::string executableFolder();

// The folder that holds the program's files (settings, tally), with a trailing
// '/': the program's own folder when it is writable (a portable install, the
// build tree), otherwise $XDG_DATA_HOME/<appname>/ (by default
// ~/.local/share/<appname>/), created on first use.
std::string filesFolder(const std::string& appname);

}  // namespace velmora::platform
