// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's actions. Keys and gamepad buttons are bound to these, and the
// engine acts on them; New Game is the window's own (the menu's Start Game).

#include <array>
#include <string_view>

namespace velmora::engine {

enum class Action {
    MoveLeft,
    MoveRight,
    MoveDown,
    TurnLeft,   // counter-clockwise on screen: the next rotation
    TurnRight,  // clockwise on screen: the previous rotation
    Drop,
    Pause,
    NewGame,
};

inline constexpr std::array<Action, 8> kActions{
    Action::MoveLeft, Action::MoveRight, Action::MoveDown, Action::TurnLeft,
    Action::TurnRight, Action::Drop, Action::Pause, Action::NewGame};

// The name the settings file keeps an action under ("MoveLeft", ...).
std::string_view actionKeyName(Action action);
// What the player reads ("Move Left", "Turn Counter-clockwise", ...).
std::string_view actionTitle(Action action);

}  // namespace velmora::engine
