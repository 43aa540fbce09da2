// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace velmora::platform {

std::string executablePath() {
    std::error_code ec;
    auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string executableFolder() {
    auto path = std::filesystem::path(executablePath()).parent_path().string();
    if (path.empty() || path.back() != '/') {
        path += '/';
    }
    return path;
}

namespace {

std::string dataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share";
}

}  // namespace

std::string filesFolder(const std::string& appname) {
    std::string own = executableFolder();
    if (::access(own.c_str(), W_OK) == 0) {
        return own;
    }
    std::filesystem::path folder = std::filesystem::path(dataHome()) / appname;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder.string() + "/";
}

}  // namespace velmora::platform
