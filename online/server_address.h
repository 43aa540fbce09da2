// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the high-score web server lives.

#include <string>

namespace velmora::online {

// The address this build was configured with (CMake's VELMORA_SERVER, by
// default "http://127.0.0.1:8080"), without a trailing "/".
std::string buildServerAddress();

// The address to use: `settingsValue` (the settings file's optional Server
// key) when it is not empty, else the build's; either without trailing "/",
// so that paths such as "/velmora/velmoraversion.txt" can be appended.
std::string serverAddress(const std::string& settingsValue);

}  // namespace velmora::online
