// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Decimal integer text as the tally stores its numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::tally {

// The 32-bit signed integer a text holds: optional leading blanks (spaces or
// tabs), an optional sign, decimal digits and nothing after them. Empty
// text, other characters, or a value outside the 32-bit range give nullopt.
std::optional<int32_t> parseInt32(std::string_view text);

// The value as plain decimal text ("-1000", "0", "279").
std::string decimalText(int32_t value);

// a + b in 32-bit two's complement, wrapping around as the tally's counters
// always have.
int32_t wrappingAdd(int32_t a, int32_t b);

}  // namespace velmora::tally
