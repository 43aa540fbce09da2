// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings file: window bounds, the player's name and the two
// options, kept in one INI section named after the program.

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::app {

inline constexpr std::int32_t kDefaultLeft = 3;
inline constexpr std::int32_t kDefaultTop = 3;
inline constexpr std::int32_t kDefaultWidth = 626;
inline constexpr std::int32_t kDefaultHeight = 594;

struct Settings {
    std::int32_t top = kDefaultTop;
    std::int32_t left = kDefaultLeft;
    std::int32_t width = kDefaultWidth;
    std::int32_t height = kDefaultHeight;
    std::string name = "Guest";
    bool sounds = true;
    bool update = true;
    // Address of the high-score server when the file names one ("Server");
    // read only, never written back.
    std::optional<std::string> server;
};

// Reads the settings from section `appname` of the file at `path`. Never fails:
// a missing file, section or key, or a bound that is not an integer, gives that
// key's default. Sounds are off only for exactly "no", the update check only
// for exactly "false"; the name is taken as it stands (even empty or long).
Settings loadSettings(const std::string& path, const std::string& appname);

// Writes "Top", "Left", "Width", "Height", "Name", "Sounds" ("yes"/"no") and
// "Update" ("true"/"false"), in that order, into section `appname` of the file
// at `path`, leaving every other line alone. Throws platform::IniWriteError
// ("Unable to write to <path>") at the first key the system refuses; the keys
// after it are not written.
void saveSettings(const std::string& path, const std::string& appname, const Settings& settings);

}  // namespace velmora::app
