// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/server_address.h"

#ifndef VELMORA_SERVER_ADDRESS
#error "VELMORA_SERVER_ADDRESS is set by the build from VELMORA_SERVER"
#endif

namespace velmora::online {

namespace {

std::string withoutTrailingSlashes(std::string address) {
    while (!address.empty() && address.back() == '/') {
        address.pop_back();
    }
    return address;
}

}  // namespace

std::string buildServerAddress() { return withoutTrailingSlashes(VELMORA_SERVER_ADDRESS); }

std::string serverAddress(const std::string& settingsValue) {
    return settingsValue.empty() ? buildServerAddress() : withoutTrailingSlashes(settingsValue);
}

}  // namespace velmora::online
