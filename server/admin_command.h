// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "velmora-server admin ...": the operator's commands on a score list,
// usable while servers run on it. Each prints what it changed.

#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::server {

// Runs the admin command in `words` (what followed "admin"). Returns the
// exit status: 0 done, 1 failed (the reason on `err`), 2 a usage error.
int runAdminCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

std::string adminUsageText();

}  // namespace velmora::server
