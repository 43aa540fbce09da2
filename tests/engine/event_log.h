// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One ordered record of everything the engine asked of its host and timer,
// so tests can check the order of calls of different kinds.

#include <string>
#include <vector>

namespace velmora::engine::testing {

using EventLog = std::vector<std::string>;

}  // namespace velmora::engine::testing
