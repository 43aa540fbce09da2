// SPDX-License-Identifier: GPL-3.0-or-later
// Property: parsing any bytes as a response head stays within them, and a
// head reported complete has a valid status and ends where the search says.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "online/http_response_head.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    velmora::online::HeadParse parsed = velmora::online::parseResponseHead(bytes);
    if (parsed.state == velmora::online::HeadState::complete) {
        if (parsed.head.status < 100 || parsed.head.status > 999 || parsed.headLength > size
            || parsed.headLength != velmora::online::findResponseHeadEnd(bytes)) {
            std::abort();
        }
    }
    return 0;
}
