// SPDX-License-Identifier: GPL-3.0-or-later
#include "tally/lzrw1_codec.h"

#include <array>
#include <sstream>

#include "compression/LZRW1.h"
#include "compression/compression_error.h"
#include "compression/lzrw1_messages.h"
#include "platform/bounded_string_buf.h"
#include "tally/tally_error.h"

namespace velmora::tally {

namespace {

struct StreamMessage {
    std::string stream;      // the stream-mode text
    std::string filePrefix;  // the file-mode text before the name
    std::string fileSuffix;  // and after it
};

// The component's stream-mode texts and their file-mode counterparts; texts
// without a file name read the same in both modes.
std::string asFileMessage(const std::string& message, const std::string& name) {
    using namespace lzrw1_text;
    static const std::array<StreamMessage, 4> kStreamMessages = {{
        {kBadHeaderStream, "", kBadHeaderFile},
        {std::string(kReadStream) + kLzhSuffix, kReadFile, kLzhSuffix},
        {kReadStream, kReadFile, ""},
        {kOpenInputStream, kOpenInputFile, ""},
    }};
    for (const auto& entry : kStreamMessages) {
        if (message == entry.stream) {
            return entry.filePrefix + name + entry.fileSuffix;
        }
    }
    return message;
}

}  // namespace

std::string Lzrw1Codec::compress(std::string_view text) const {
    std::istringstream input{std::string(text)};
    std::ostringstream output;
    Tlzrw1 doit;
    doit.UseStream = true;
    doit.InputStream = &input;
    doit.OutputStream = &output;
    doit.CompressMode = TCompressMode::Good;
    try {
        doit.Compress();
    } catch (const CompressionError& e) {
        throw TallyError(e.what());
    }
    return output.str();
}

std::string Lzrw1Codec::decompress(std::string_view container, const std::string& name) const {
    std::istringstream input{std::string(container)};
    platform::BoundedStringBuf buffer(kMaxTallyTextSize);
    std::ostream output(&buffer);
    Tlzrw1 doit;
    doit.UseStream = true;
    doit.InputStream = &input;
    doit.OutputStream = &output;
    try {
        doit.Decompress();
    } catch (const CompressionError& e) {
        if (buffer.full()) {
            throw TallyError(name + " : Lzrw1 decompression : the expanded data is too large !");
        }
        throw TallyError(asFileMessage(e.what(), name));
    }
    return buffer.take();
}

}  // namespace velmora::tally
