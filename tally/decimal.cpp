// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/decimal.h"

#include <charconv>

namespace velmora::tally {

std::optional<int32_t> parseInt32(std::string_view text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (*first == '+') {
        ++first;  // from_chars takes a minus sign only
        if (first == last || *first == '-') {
            return std::nullopt;
        }
    }
    int32_t value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

std::string decimalText(int32_t value) { return std::to_string(value); }

int32_t wrappingAdd(int32_t a, int32_t b) {
    // Unsigned arithmetic wraps by definition; the conversion back is modular.
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace velmora::tally
