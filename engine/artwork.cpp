// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/artwork.h"

#include <algorithm>
#include <cmath>

namespace velmora::engine {

namespace {

struct Rgb {
    double r, g, b;
};

Rgb split(uint32_t colour) {
    return {static_cast<double>((colour >> 16) & 0xFF), static_cast<double>((colour >> 8) & 0xFF),
            static_cast<double>(colour & 0xFF)};
}

uint8_t channel(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

uint32_t join(Rgb c) { return rgb(channel(c.r), channel(c.g), channel(c.b)); }

// Moves colour towards white by amount (0 to 1); a negative amount moves it
// towards black instead.
uint32_t shade(uint32_t colour, double amount) {
    if (amount == 0.0) {
        return colour;
    }
    const Rgb c = split(colour);
    const double target = amount > 0 ? 255.0 : 0.0;
    const double t = std::fabs(amount);
    return join({c.r + (target - c.r) * t, c.g + (target - c.g) * t, c.b + (target - c.b) * t});
}

uint32_t grey(int level) {
    const auto v = static_cast<uint8_t>(std::clamp(level, 0, 255));
    return rgb(v, v, v);
}

constexpr int kBevelWidth = 2;
constexpr int kLast = kTileSize - 1;

// Shade of the two-pixel bevel ring: light where it faces the top-left, dark
// where it faces the bottom-right, split along the anti-diagonal.
double bevelShade(int x, int y, int ring) {
    const bool facesTopLeft = std::min(x, y) == ring && x + y < kLast;
    static constexpr double light[kBevelWidth] = {0.60, 0.35};
    static constexpr double dark[kBevelWidth] = {-0.60, -0.35};
    return facesTopLeft ? light[ring] : dark[ring];
}

// Shade of the face: a glossy upper band with an oval highlight, the plain
// colour through the middle rows 10 to 13, deepening towards the bottom.
double faceShade(int x, int y) {
    if (y < 10) {
        const double band = 0.28 * (10 - y) / 8.0;
        const double dx = (x - 8.5) / 5.5;
        const double dy = (y - 5.5) / 3.0;
        const double spot = std::max(0.0, 1.0 - (dx * dx + dy * dy));
        return std::min(0.85, band + 0.45 * spot);
    }
    if (y <= 13) {
        return 0.0;
    }
    return -0.22 * (y - 13) / 8.0;
}

// Profile of a frame bar across its width: a rounded metal rod, brightest in
// the middle, with a groove at every cell boundary.
uint32_t barPixel(int x, int y, int firstPixel, int lastPixel) {
    const double width = lastPixel - firstPixel + 1;
    const double u = 2.0 * (x - firstPixel + 0.5) / width - 1.0;
    int level = static_cast<int>(std::lround(118 + 78 * (1.0 - u * u)));
    const int rowInCell = y % kTileSize;
    if (rowInCell == 0) {
        level -= 46;
    } else if (rowInCell == 1) {
        level += 22;
    }
    if (x == firstPixel || x == lastPixel) {
        level -= 20;
    }
    return grey(level);
}

// The dark pattern behind the well: faint cell lines and a fine diagonal weave.
uint32_t patternPixel(int x, int y) {
    const int cellX = x % kTileSize;
    const int cellY = y % kTileSize;
    if (cellX == 0 || cellY == 0) {
        return grey(44);
    }
    if ((x + y) % 6 == 0 || (x - y + 600) % 6 == 0) {
        return grey(36);
    }
    return grey(28);
}

}  // namespace

Picture makeTile(uint32_t colour) {
    Picture tile(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const int ring = std::min({x, y, kLast - x, kLast - y});
            const double amount = ring < kBevelWidth ? bevelShade(x, y, ring) : faceShade(x, y);
            tile.at(x, y) = shade(colour, amount);
        }
    }
    return tile;
}

Picture makeBackground() {
    Picture back(kBoardWidth, kBoardHeight);
    for (int y = 0; y < kBoardHeight; ++y) {
        for (int x = 0; x < kBoardWidth; ++x) {
            if (x <= kLeftBarLastPixel) {
                back.at(x, y) = barPixel(x, y, kLeftBarFirstPixel, kLeftBarLastPixel);
            } else if (x >= kRightBarFirstPixel) {
                back.at(x, y) = barPixel(x, y, kRightBarFirstPixel, kRightBarLastPixel);
            } else {
                back.at(x, y) = patternPixel(x, y);
            }
        }
    }
    return back;
}

const Artwork& artwork() {
    static const Artwork shared = [] {
        Artwork art;
        for (size_t t = 0; t < art.tiles.size(); ++t) {
            art.tiles[t] = makeTile(tileColours[t]);
        }
        art.background = makeBackground();
        return art;
    }();
    return shared;
}

}  // namespace velmora::engine
