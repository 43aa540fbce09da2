// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/LZRW1.h"

#include <limits>

#include "compression/compression_error.h"
#include "compression/container_header.h"
#include "compression/lzrw1_messages.h"
#include "compression/lzrw1_run.h"

namespace velmora {

using namespace lzrw1_text;

namespace {

constexpr std::size_t kBlockSize = Lzrw1Run::kBlockSize;

// bytes out as a percentage of bytes in; an empty input shows 0.
std::string percentage(std::int64_t out, std::int64_t in) {
    return std::to_string(in > 0 ? out * 100 / in : 0) + "%";
}

// Runs `work`; if it fails, the output is closed and deleted before the
// error goes on.
template <typename Work>
void discardingOutputOnFailure(Lzrw1Run& run, Work&& work) {
    try {
        work();
        run.finishOutput();
    } catch (...) {
        run.discardOutput();
        throw;
    }
}

void openBoth(Lzrw1Run& run) {
    if (!run.openInput()) {
        throw ELzrw1Exception(run.aboutInput(kOpenInputFile, kOpenInputStream));
    }
    if (!run.createOutput()) {
        throw ELzrw1Exception(run.aboutOutput(kOpenOutputFile, kOpenOutputStream));
    }
}

void packLzh(TLZH& lzh, Lzrw1Run& run) {
    run.setCodecLabel(kLzhProgress);
    const std::string readFailure = run.aboutInput(kReadFile, kReadStream, kLzhSuffix);
    lzh.pack([&](std::uint8_t* to, std::size_t count) { return run.pullInput(to, count, readFailure); },
             [&](const std::uint8_t* from, std::size_t count) { run.pushOutput(from, count); });
    run.flushOutput();
}

void packLzrw1kh(TLZR& lzr, Lzrw1Run& run) {
    run.setCodecLabel(kLzrwProgress);
    const std::string readFailure = run.aboutInput(kReadFile, kReadStream, kLzrwSuffix);
    std::size_t got = 0;
    do {
        got = run.readSome(run.inputBuffer(), kBlockSize, readFailure);
        run.progress();
        const std::size_t chunk = lzr.compress({run.inputBuffer(), got}, {run.outputBuffer(), Lzrw1Run::kBufferSize});
        const std::uint8_t length[2] = {static_cast<std::uint8_t>(chunk), static_cast<std::uint8_t>(chunk >> 8)};
        run.write(length, 2);
        run.write(run.outputBuffer(), chunk);
        run.progress();
    } while (got == kBlockSize);
}

void unpackLzh(TLZH& lzh, Lzrw1Run& run, std::uint32_t size) {
    run.setCodecLabel(kLzhProgress);
    const std::string readFailure = run.aboutInput(kReadFile, kReadStream, kLzhSuffix);
    const std::uint64_t coded =
        lzh.unpack(size, [&](std::uint8_t* to, std::size_t count) { return run.pullInput(to, count, readFailure); },
                   [&](const std::uint8_t* from, std::size_t count) { run.pushOutput(from, count); });
    run.flushOutput();
    if (coded != size || run.bytesOut != static_cast<std::int64_t>(size)) {
        throw ELzrw1Exception(kLzhSizeMismatch);
    }
}

void unpackLzrw1kh(Lzrw1Run& run, std::uint32_t size) {
    run.setCodecLabel(kLzrwProgress);
    std::size_t produced = 0;
    do {
        std::uint8_t length_bytes[2];
        run.readExactly(length_bytes, 2);
        const std::size_t length = length_bytes[0] | (static_cast<std::size_t>(length_bytes[1]) << 8);
        if (length > TLZR::kLongestChunk) {
            throw ELzrw1Exception(run.aboutInput(kReadFile, kReadStream));
        }
        run.readExactly(run.inputBuffer(), length);
        run.progress();
        const auto expanded = TLZR::expand({run.inputBuffer(), length}, {run.outputBuffer(), kBlockSize});
        if (!expanded) {
            throw ELzrw1Exception(kLzrwSizeMismatch);
        }
        produced = *expanded;
        run.write(run.outputBuffer(), produced);
        run.progress();
        // Stop as soon as the output outgrows the header's size.
        if (run.bytesOut > static_cast<std::int64_t>(size)) {
            throw ELzrw1Exception(kLzrwSizeMismatch);
        }
    } while (produced == kBlockSize);
    if (run.bytesOut != static_cast<std::int64_t>(size)) {
        throw ELzrw1Exception(kLzrwSizeMismatch);
    }
}

}  // namespace

void Tlzrw1::setCaption(const std::string& text) {
    caption_ = text;
    if (OnCaption) {
        OnCaption(caption_);
    }
}

std::int64_t Tlzrw1::Compress() {
    const TCompressMode mode = CompressMode == TCompressMode::Auto ? Advise() : CompressMode;
    Lzrw1Run run(*this, kNoBuffers);
    const auto size = run.inputSize();
    if (!size || *size > std::numeric_limits<std::uint32_t>::max()) {
        throw ELzrw1Exception(run.aboutInput(kNoSizeFile, kNoSizeStream));
    }
    openBoth(run);
    discardingOutputOnFailure(run, [&] {
        const ContainerCodec codec = mode == TCompressMode::Good ? ContainerCodec::Lzh : ContainerCodec::Lzrw1kh;
        const auto header = makeHeader(codec, static_cast<std::uint32_t>(*size));
        run.write(header.data(), header.size());
        if (codec == ContainerCodec::Lzh) {
            packLzh(lzh_, run);
        } else {
            packLzrw1kh(lzr_, run);
        }
    });
    if (visible()) {
        const std::string rate = percentage(run.bytesOut, run.bytesIn);
        setCaption(UseStream ? kCompressedStream + rate : InputFile + kCompressedFile + rate);
    }
    return run.bytesOut;
}

std::int64_t Tlzrw1::Decompress() {
    Lzrw1Run run(*this, kNoBuffers);
    openBoth(run);
    discardingOutputOnFailure(run, [&] {
        std::uint8_t header[kHeaderSize];
        run.readExactly(header, 4);
        const auto codec = codecOfMagic(header);
        if (!codec) {
            throw ELzrw1Exception(UseStream ? std::string(kBadHeaderStream) : InputFile + kBadHeaderFile);
        }
        run.readExactly(header + 4, 4);
        const std::uint32_t size = readLittleEndian32(header + 4);
        if (*codec == ContainerCodec::Lzh) {
            unpackLzh(lzh_, run, size);
        } else {
            unpackLzrw1kh(run, size);
        }
    });
    if (visible()) {
        const std::string rate = percentage(run.bytesOut, run.bytesIn);
        setCaption(UseStream ? kDecompressedStream + rate : InputFile + kDecompressedFile + rate);
    }
    return run.bytesOut;
}

}  // namespace velmora
