// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-gen-sounds <folder>: writes <NAME>.wav for each sound effect.

#include <cstdio>
#include <string>

#include "tools/gen-sounds/effects.h"
#include "tools/gen-sounds/wave_file.h"

int main(int argc, char** argv) {
    using namespace velmora::tools;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    for (const Effect& effect : effects()) {
        const std::size_t samples = effect.dataBytes / (effect.format.bitsPerSample / 8);
        auto data = encodePcm(effect.synthesise(samples, effect.format.sampleRate), effect.format);
        std::string path = std::string(argv[1]) + "/" + effect.name + ".wav";
        if (!writeBytes(path, waveFile(data, effect.format))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
