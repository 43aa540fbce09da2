// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing mono PCM sample data as a RIFF WAVE file.

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::tools {

struct WaveFormat {
    std::uint32_t sampleRate = 0;
    std::uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
};

// The samples, each in [-1, 1], as PCM bytes of `format`: 8-bit around 128,
// 16-bit signed little-endian. Values outside the range are clipped.
std::vector<std::uint8_t> encodePcm(const std::vector<double>& samples, WaveFormat format);

// A complete RIFF WAVE file: "fmt " chunk for one PCM channel, "data" chunk
// with `data`, and the pad byte RIFF asks for after a chunk of odd size.
std::vector<std::uint8_t> waveFile(const std::vector<std::uint8_t>& data, WaveFormat format);

// Writes `bytes` to `path`; false when it cannot.
bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace velmora::tools
