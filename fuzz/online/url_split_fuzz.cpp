// SPDX-License-Identifier: GPL-3.0-or-later
// Property: whatever the address, the split host holds only host characters
// and the request line built from it cannot be broken or extended.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "online/http_request.h"
#include "online/url_split.h"

namespace {

// The request line: printable ASCII, and exactly the two spaces around the target.
void checkLine(const std::string& head) {
    size_t lineEnd = head.find("\r\n");
    int spaces = 0;
    for (size_t i = 0; i < lineEnd; ++i) {
        auto c = static_cast<unsigned char>(head[i]);
        if (c < 0x20 || c >= 0x7F) {
            std::abort();
        }
        spaces += c == ' ';
    }
    if (spaces != 2) {
        std::abort();
    }
}

void checkAddress(const velmora::online::HttpAddress& address) {
    if (address.host.empty() || address.target.empty() || address.target.front() != '/' || address.port == 0
        || address.host.find_first_of(" \r\n/@") != std::string::npos) {
        std::abort();
    }
    std::string head = velmora::online::buildRequestHead("GET", address.target, "1.0",
                                                         {{"Host", velmora::online::hostHeaderValue(address)}});
    checkLine(head);
    if (head.find("\r\n", head.find("\r\n") + 2) + 4 != head.size()) {
        std::abort();  // exactly one header line and the empty line
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view url(reinterpret_cast<const char*>(data), size);
    std::optional<velmora::online::HttpAddress> address = velmora::online::splitUrl(url);
    if (address) {
        checkAddress(*address);
        // The same bytes as a Location header relative to it.
        if (std::optional<velmora::online::HttpAddress> next = velmora::online::resolveLocation(*address, url)) {
            checkAddress(*next);
        }
    }
    checkLine(velmora::online::buildRequestHead("GET", url, "1.0", {}));
    return 0;
}
