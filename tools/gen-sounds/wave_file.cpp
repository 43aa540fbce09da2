// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-sounds/wave_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace velmora::tools {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

}  // namespace

std::vector<std::uint8_t> encodePcm(const std::vector<double>& samples, WaveFormat format) {
    std::vector<std::uint8_t> out;
    for (double s : samples) {
        double v = std::clamp(s, -1.0, 1.0);
        if (format.bitsPerSample == 8) {
            out.push_back(static_cast<std::uint8_t>(std::lround(128.0 + v * 127.0)));
        } else {
            auto pcm = static_cast<std::int16_t>(std::lround(v * 32767.0));
            put16(out, static_cast<std::uint16_t>(pcm));
        }
    }
    return out;
}

std::vector<std::uint8_t> waveFile(const std::vector<std::uint8_t>& data, WaveFormat format) {
    const std::uint32_t pad = data.size() % 2;
    const std::uint16_t blockAlign = format.bitsPerSample / 8;
    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(4 + (8 + 16) + 8 + data.size() + pad));
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // one channel
    put32(out, format.sampleRate);
    put32(out, format.sampleRate * blockAlign);
    put16(out, blockAlign);
    put16(out, format.bitsPerSample);
    putTag(out, "data");
    put32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (pad != 0) {
        out.push_back(0);
    }
    return out;
}

bool writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace velmora::tools
