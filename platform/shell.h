// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop shell: open an address with its default handler, start a
// program. TURL and the update download reach the shell only through this
// interface, so tests can put a recording stand-in in its place.

#include <string>
#include <vector>

namespace velmora::platform {

class Shell {
public:
    virtual ~Shell() = default;

    // Hands `url` (whole, of any length) to the desktop's default handler
    // for it. Returns true when the desktop accepted it.
    virtual bool openUrl(const std::string& url) = 0;

    // Starts the program at `path` with `arguments` (argv[1] onwards) and
    // does not wait for it. Returns true when the program was started.
    virtual bool runProgram(const std::string& path, const std::vector<std::string>& arguments) = 0;
};

// Starts `path` with `arguments` through posix_spawn, inheriting the
// environment; the child is reaped in the background when it ends. Returns
// true when the program was started (it exists and could be executed).
bool spawnProgram(const std::string& path, const std::vector<std::string>& arguments);

}  // namespace velmora::platform
