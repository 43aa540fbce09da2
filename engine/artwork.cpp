// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/artwork.h"

#include <algorithm>
#include <cmath>
#include <map>

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

// Where a picture's pixels fall in the 1x drawing: a picture for a denser
// screen has `scale` pixels to each 1x pixel, and a 1x line `line` pixels wide.
struct Density {
    int tileSize;
    double scale;
    int line;

    explicit Density(int size)
        : tileSize(size),
          scale(size / static_cast<double>(kTileSize)),
          line(std::max(1, static_cast<int>(std::lround(scale)))) {}

    // The centre of pixel p, in 1x pixels: p itself at 1x.
    double logical(int p) const { return (p + 0.5) / scale - 0.5; }
};

// Shade of the two-pixel bevel ring: light where it faces the top-left, dark
// where it faces the bottom-right, split along the anti-diagonal.
double bevelShade(int x, int y, int ring, const Density& d) {
    const int last = d.tileSize - 1;
    const bool facesTopLeft =
        static_cast<int>(std::min(x, y) / d.scale) == ring && x + y < last;
    static constexpr double light[kBevelWidth] = {0.60, 0.35};
    static constexpr double dark[kBevelWidth] = {-0.60, -0.35};
    return facesTopLeft ? light[ring] : dark[ring];
}

// Shade of the face: a glossy upper band with an oval highlight, the plain
// colour through the middle rows 10 to 13, deepening towards the bottom.
double faceShade(double x, double y) {
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
uint32_t barPixel(int x, int y, int firstPixel, int lastPixel, const Density& d) {
    const double width = lastPixel - firstPixel + 1;
    const double u = 2.0 * (x - firstPixel + 0.5) / width - 1.0;
    int level = static_cast<int>(std::lround(118 + 78 * (1.0 - u * u)));
    const int rowInCell = y % d.tileSize;
    if (rowInCell < d.line) {
        level -= 46;
    } else if (rowInCell < 2 * d.line) {
        level += 22;
    }
    if (x - firstPixel < d.line || lastPixel - x < d.line) {
        level -= 20;
    }
    return grey(level);
}

// The dark pattern behind the well: faint cell lines and a fine diagonal weave.
uint32_t patternPixel(int x, int y, const Density& d) {
    const int cellX = x % d.tileSize;
    const int cellY = y % d.tileSize;
    if (cellX < d.line || cellY < d.line) {
        return grey(44);
    }
    if (std::fmod((x + y) / d.scale, 6.0) < 1.0 || std::fmod((x - y) / d.scale + 600, 6.0) < 1.0) {
        return grey(36);
    }
    return grey(28);
}

}  // namespace

int tileSizeFor(double ratio) {
    const double held = std::clamp(ratio, 1.0, 8.0);
    return static_cast<int>(std::lround(kTileSize * held));
}

int boardWidthAt(int tileSize) {
    return (kBoardWidth * tileSize + kTileSize / 2) / kTileSize;
}

int boardHeightAt(int tileSize) {
    return (kBoardHeight * tileSize + kTileSize / 2) / kTileSize;
}

Picture makeTile(uint32_t colour) {
    return makeTile(colour, kTileSize);
}

Picture makeTile(uint32_t colour, int tileSize) {
    const Density d(tileSize);
    const int last = tileSize - 1;
    Picture tile(tileSize, tileSize);
    tile.pixelRatio = d.scale;
    for (int y = 0; y < tileSize; ++y) {
        for (int x = 0; x < tileSize; ++x) {
            const int ring = static_cast<int>(std::min({x, y, last - x, last - y}) / d.scale);
            const double amount = ring < kBevelWidth ? bevelShade(x, y, ring, d)
                                                     : faceShade(d.logical(x), d.logical(y));
            tile.at(x, y) = shade(colour, amount);
        }
    }
    return tile;
}

Picture makeBackground() {
    return makeBackground(kTileSize);
}

Picture makeBackground(int tileSize) {
    const Density d(tileSize);
    // The bars cover the side walls: the whole first cell on the left, and
    // from one line past the last play column to the edge on the right.
    const int leftBarLast = tileSize - 1;
    const int rightBarFirst = tileSize * (kRightBarFirstPixel / kTileSize) + d.line;
    Picture back(boardWidthAt(tileSize), boardHeightAt(tileSize));
    back.pixelRatio = d.scale;
    const int rightBarLast = back.width - 1;
    for (int y = 0; y < back.height; ++y) {
        for (int x = 0; x < back.width; ++x) {
            if (x <= leftBarLast) {
                back.at(x, y) = barPixel(x, y, kLeftBarFirstPixel, leftBarLast, d);
            } else if (x >= rightBarFirst) {
                back.at(x, y) = barPixel(x, y, rightBarFirst, rightBarLast, d);
            } else {
                back.at(x, y) = patternPixel(x, y, d);
            }
        }
    }
    return back;
}

const Artwork& artwork() {
    return artworkAt(kTileSize);
}

// Built once per density and kept: a window's screen changes rarely.
const Artwork& artworkAt(int tileSize) {
    static std::map<int, Artwork> built;
    auto found = built.find(tileSize);
    if (found == built.end()) {
        Artwork art;
        art.tileSize = tileSize;
        for (size_t t = 0; t < art.tiles.size(); ++t) {
            art.tiles[t] = makeTile(tileColours[t], tileSize);
        }
        art.background = makeBackground(tileSize);
        found = built.emplace(tileSize, std::move(art)).first;
    }
    return found->second;
}

}  // namespace velmora::engine
