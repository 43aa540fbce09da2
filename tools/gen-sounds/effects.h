// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seven sound effects of the game: their formats, their exact lengths and
// the recipes that synthesise them.

#include <cstddef>
#include <string>
#include <vector>

#include "tools/gen-sounds/wave_file.h"

namespace velmora::tools {

struct Effect {
    std::string name;          // resource name, upper case
    WaveFormat format;
    std::size_t dataBytes;     // size of the sample data
    std::vector<double> (*synthesise)(std::size_t samples, double rate);
};

// Every effect, in resource-name order.
const std::vector<Effect>& effects();

}  // namespace velmora::tools
