// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the player's actions, for the settings file and for the player.
#include "engine/actions.h"

#include <cstddef>

namespace velmora::engine {

namespace {

struct ActionNames {
    std::string_view key;
    std::string_view title;
};

// In the order of Action.
constexpr std::array<ActionNames, kActions.size()> kNames{{
    {"MoveLeft", "Move Left"},
    {"MoveRight", "Move Right"},
    {"MoveDown", "Move Down"},
    {"TurnLeft", "Turn Counter-clockwise"},
    {"TurnRight", "Turn Clockwise"},
    {"Drop", "Drop"},
    {"Pause", "Pause"},
    {"NewGame", "New Game"},
}};

}  // namespace

std::string_view actionKeyName(Action action) { return kNames[static_cast<std::size_t>(action)].key; }

std::string_view actionTitle(Action action) { return kNames[static_cast<std::size_t>(action)].title; }

}  // namespace velmora::engine
