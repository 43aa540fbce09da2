// SPDX-License-Identifier: GPL-3.0-or-later
// Property: decoding any bytes as a chunked body yields no more body bytes
// than it was given, and the outcome does not depend on where the bytes are
// split (the first byte picks the split).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "online/chunked_body.h"

namespace {

using velmora::online::ChunkedDecoder;

ChunkedDecoder::State decode(std::string_view bytes, size_t split, std::string& body) {
    ChunkedDecoder decoder;
    auto append = [&body](std::string_view data) { body.append(data); };
    decoder.feed(bytes.substr(0, split), append);
    return decoder.feed(bytes.substr(split), append);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string whole;
    std::string split;
    ChunkedDecoder::State wholeState = decode(bytes, bytes.size(), whole);
    ChunkedDecoder::State splitState = decode(bytes, data[0] % (bytes.size() + 1), split);
    if (whole.size() > bytes.size() || whole != split || wholeState != splitState) {
        std::abort();
    }
    return 0;
}
