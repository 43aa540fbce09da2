// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The options an operator running the list in public sets: post rate,
// score cap, trusted proxies and the access log.

#include <optional>
#include <string>
#include <vector>

#include "server/options.h"

namespace velmora::server {

// Reads "--post-rate N[/min]", "--max-score N", "--trusted-proxy ADDR"
// (again for each proxy) and "--access-log[=FILE]" when `name` is one of
// them: `value` is what followed "=", else the value is taken from the next
// word (moving `index`). Returns false for any other name; throws
// OptionsError for a bad value.
bool parseOperatorOption(const std::string& name, const std::optional<std::string>& value,
                         const std::vector<std::string>& words, size_t& index,
                         ServerOptions& options);

// Their lines of the usage text.
std::string operatorUsageText();

}  // namespace velmora::server
