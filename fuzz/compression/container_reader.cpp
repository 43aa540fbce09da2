// SPDX-License-Identifier: GPL-3.0-or-later
// Property: decompressing any container either produces exactly the size its
// header states or fails with one of the component's own messages, with
// bounded memory and no access out of bounds.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "compression/LZRW1.h"
#include "compression/compression_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::set<std::string> expected = {
        "Lzrw1 : Error reading from input stream !",
        "Lzrw1 decompression : input stream contains no valid header !",
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !",
        "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !",
    };
    std::string container(reinterpret_cast<const char*>(data), size);
    // Larger sizes only make a run longer, never different: keep them below
    // 64 KiB (two blocks) so that each input is quick.
    if (container.size() >= 8) {
        container[6] = 0;
        container[7] = 0;
    }
    std::istringstream input(container);
    std::ostringstream output;
    velmora::Tlzrw1 component;
    component.UseStream = true;
    component.InputStream = &input;
    component.OutputStream = &output;
    try {
        const std::int64_t written = component.Decompress();
        const auto* header = reinterpret_cast<const std::uint8_t*>(container.data());
        const std::int64_t stated = header[4] | (header[5] << 8);
        if (written != stated || static_cast<std::int64_t>(output.str().size()) != stated) {
            std::abort();
        }
    } catch (const velmora::ELzrw1Exception& error) {
        if (expected.count(error.what()) == 0) {
            std::abort();
        }
    }
    return 0;
}
