// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/URL.h"

namespace velmora::online {

namespace {

std::string prefixOf(TURLType type) {
    switch (type) {
    case TURLType::utHttp:
        return "http://";
    case TURLType::utnone:
        break;
    }
    return {};
}

}  // namespace

bool TURL::OpenURL() {
    if (URL.empty()) {
        return false;
    }
    return shell_.openUrl(prefixOf(URLType) + URL);
}

}  // namespace velmora::online
