// SPDX-License-Identifier: GPL-3.0-or-later
// The player's options in the settings file: the landing shadow, the starting
// level and pausing when the window loses the focus, in the program's own
// section, and the controls' raw texts in section [controls]. A key the file
// does not hold stays unset and is never written, so the file gains these
// keys only once the player has chosen something.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "engine/actions.h"

namespace velmora::app {

inline constexpr char kControlsSection[] = "controls";

struct PlayerOptions {
    std::optional<bool> landingShadow;     // "LandingShadow": exactly "true" turns it on
    std::optional<int> startLevel;         // "StartLevel": 1 to 10; anything else reads as 1
    std::optional<bool> pauseOnFocusLoss;  // "PauseOnFocusLoss": exactly "true" turns it on
};

// Reads the options the file holds in section `appname`. Never fails.
PlayerOptions loadPlayerOptions(const std::string& path, const std::string& appname);
// Writes the options that are set; throws platform::IniWriteError as
// saveSettings does.
void savePlayerOptions(const std::string& path, const std::string& appname,
                       const PlayerOptions& options);

// The [controls] section as written: for each action (in engine::kActions
// order) the keys' text ("MoveLeft") and the pad button's ("PadMoveLeft").
struct ControlsText {
    std::array<std::optional<std::string>, engine::kActions.size()> keys;
    std::array<std::optional<std::string>, engine::kActions.size()> pads;
};

// Reads the controls the file holds. Never fails.
ControlsText loadControlsText(const std::string& path);
// Writes every set entry; throws platform::IniWriteError as saveSettings does.
void saveControlsText(const std::string& path, const ControlsText& text);

}  // namespace velmora::app
