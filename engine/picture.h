// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture the engine draws into: 32-bit pixels 0xFFRRGGBB, row by row, so a
// window can show it without converting (Qt's Format_RGB32 has this layout).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::engine {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // Device pixels to a logical pixel: 2 for a picture drawn for a screen
    // at 200 %, which shows at half its pixel size.
    double pixelRatio = 1.0;

    Picture() = default;
    Picture(int w, int h, uint32_t fill = 0xFF000000u)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

constexpr uint32_t rgb(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

}  // namespace velmora::engine
