// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An error of the tally with the text the player is shown ("File not found",
// "Invalid numeric input", or the compression component's message).

#include <stdexcept>
#include <string>

namespace velmora::tally {

class TallyError : public std::runtime_error {
public:
    explicit TallyError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace velmora::tally
