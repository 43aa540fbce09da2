// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/player_options.h"

#include "platform/ini.h"

namespace velmora::app {

namespace {

// Values lose their surrounding blanks, so no key in the file can read as this.
const std::string kAbsent = " ";

std::optional<std::string> readIfPresent(const std::string& path, const std::string& section,
                                         const std::string& key) {
    std::string value = platform::readIniString(path, section, key, kAbsent);
    if (value == kAbsent) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> readFlag(const std::string& path, const std::string& section,
                             const std::string& key) {
    std::optional<std::string> value = readIfPresent(path, section, key);
    if (!value) {
        return std::nullopt;
    }
    return *value == "true";
}

void writeFlag(const std::string& path, const std::string& section, const std::string& key,
               const std::optional<bool>& flag) {
    if (flag) {
        platform::writeIniString(path, section, key, *flag ? "true" : "false");
    }
}

std::string padKey(engine::Action action) { return "Pad" + std::string(engine::actionKeyName(action)); }

}  // namespace

PlayerOptions loadPlayerOptions(const std::string& path, const std::string& appname) {
    PlayerOptions options;
    options.landingShadow = readFlag(path, appname, "LandingShadow");
    options.pauseOnFocusLoss = readFlag(path, appname, "PauseOnFocusLoss");
    if (std::optional<std::string> text = readIfPresent(path, appname, "StartLevel")) {
        std::int32_t level = 1;
        options.startLevel =
            platform::parseIniInt(*text, level) && level >= 1 && level <= 10 ? level : 1;
    }
    return options;
}

void savePlayerOptions(const std::string& path, const std::string& appname,
                       const PlayerOptions& options) {
    writeFlag(path, appname, "LandingShadow", options.landingShadow);
    if (options.startLevel) {
        platform::writeIniString(path, appname, "StartLevel", std::to_string(*options.startLevel));
    }
    writeFlag(path, appname, "PauseOnFocusLoss", options.pauseOnFocusLoss);
}

ControlsText loadControlsText(const std::string& path) {
    ControlsText text;
    for (std::size_t i = 0; i < engine::kActions.size(); ++i) {
        const engine::Action action = engine::kActions[i];
        text.keys[i] = readIfPresent(path, kControlsSection, std::string(engine::actionKeyName(action)));
        text.pads[i] = readIfPresent(path, kControlsSection, padKey(action));
    }
    return text;
}

void saveControlsText(const std::string& path, const ControlsText& text) {
    for (std::size_t i = 0; i < engine::kActions.size(); ++i) {
        const engine::Action action = engine::kActions[i];
        if (text.keys[i]) {
            platform::writeIniString(path, kControlsSection,
                                     std::string(engine::actionKeyName(action)), *text.keys[i]);
        }
        if (text.pads[i]) {
            platform::writeIniString(path, kControlsSection, padKey(action), *text.pads[i]);
        }
    }
}

}  // namespace velmora::app
