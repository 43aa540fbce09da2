// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings.h"

#include "platform/ini.h"

namespace velmora::app {

Settings loadSettings(const std::string& path, const std::string& appname) {
    using platform::readIniInt;
    using platform::readIniString;
    Settings s;
    s.top = readIniInt(path, appname, "Top", kDefaultTop);
    s.left = readIniInt(path, appname, "Left", kDefaultLeft);
    s.width = readIniInt(path, appname, "Width", kDefaultWidth);
    s.height = readIniInt(path, appname, "Height", kDefaultHeight);
    s.sounds = readIniString(path, appname, "Sounds", "yes") != "no";
    s.update = readIniString(path, appname, "Update", "true") != "false";
    s.name = readIniString(path, appname, "Name", "Guest");
    // An empty address would reach no server, so it counts as none.
    std::string server = readIniString(path, appname, "Server", "");
    if (!server.empty()) {
        s.server = server;
    }
    return s;
}

void saveSettings(const std::string& path, const std::string& appname, const Settings& settings) {
    using platform::writeIniString;
    writeIniString(path, appname, "Top", std::to_string(settings.top));
    writeIniString(path, appname, "Left", std::to_string(settings.left));
    writeIniString(path, appname, "Width", std::to_string(settings.width));
    writeIniString(path, appname, "Height", std::to_string(settings.height));
    writeIniString(path, appname, "Name", settings.name);
    writeIniString(path, appname, "Sounds", settings.sounds ? "yes" : "no");
    writeIniString(path, appname, "Update", settings.update ? "true" : "false");
}

}  // namespace velmora::app
