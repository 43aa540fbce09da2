// SPDX-License-Identifier: GPL-3.0-or-later
// Tlzrw1::Advise: guesses the better codec from two LZRW1/KH samples.
#include "compression/LZRW1.h"
#include "compression/compression_error.h"
#include "compression/lzrw1_messages.h"
#include "compression/lzrw1_run.h"

namespace velmora {

using namespace lzrw1_text;

namespace {

constexpr std::uint64_t kBlockSize = Lzrw1Run::kBlockSize;
constexpr std::uint64_t kSmallInput = 3 * kBlockSize;

struct Sample {
    std::int64_t read = 0;        // bytes taken from the input
    std::int64_t compressed = 0;  // their LZRW1/KH chunk size
};

Sample takeSample(TLZR& lzr, Lzrw1Run& run, std::uint64_t at) {
    const std::string failure = run.aboutInput(kAdviseReadFile, kAdviseReadStream);
    if (!run.seekInput(at / kBlockSize * kBlockSize)) {
        throw ELzrw1Exception(failure);
    }
    const std::size_t got = run.readSome(run.inputBuffer(), kBlockSize, failure);
    const std::size_t chunk = lzr.compress({run.inputBuffer(), got}, {run.outputBuffer(), Lzrw1Run::kBufferSize});
    return {static_cast<std::int64_t>(got), static_cast<std::int64_t>(chunk)};
}

}  // namespace

TCompressMode Tlzrw1::Advise() {
    setCaption(UseStream ? std::string(kGuessingStream) : kGuessingFile + InputFile);
    Lzrw1Run run(*this, kAdviseBuffers);
    const auto size = run.inputSize();
    if (!size) {
        throw ELzrw1Exception(run.aboutInput(kAdviseSizeFile, kAdviseSizeStream));
    }
    if (!run.openInput()) {
        throw ELzrw1Exception(run.aboutInput(kAdviseOpenFile, kAdviseOpenStream));
    }
    run.restoreInputPositionAtEnd();
    if (*size < kSmallInput) {
        CompressMode = TCompressMode::Good;
        setCaption(kGoodSmall);
        return TCompressMode::Good;
    }
    const Sample first = takeSample(lzr_, run, *size / 3);
    const Sample second = takeSample(lzr_, run, *size * 2 / 3);
    const std::int64_t read = first.read + second.read;
    const std::int64_t compressed = first.compressed + second.compressed;
    const std::string rate = std::to_string(read > 0 ? compressed * 100 / read : 0) + "%.";
    if (compressed < read * Threshold / 100) {
        setCaption(kFast + rate);
        return TCompressMode::Fast;
    }
    setCaption(kGood + rate);
    return TCompressMode::Good;
}

}  // namespace velmora
