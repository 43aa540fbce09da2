// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TURL: hands an address to the desktop shell, which opens it with the
// default program for it.

#include <string>

#include "platform/shell.h"

namespace velmora::online {

enum class TURLType {
    utHttp,  // the address is stored without its scheme; "http://" goes in front
    utnone,  // the address is handed over as it is
};

class TURL {
public:
    // `shell` must outlive the component.
    explicit TURL(platform::Shell& shell) : shell_(shell) {}

    std::string URL;
    TURLType URLType = TURLType::utHttp;

    // An empty URL: returns false and opens nothing. Otherwise hands the
    // type's prefix followed by the whole URL, whatever its length, to the
    // shell; returns true when the shell accepted it.
    bool OpenURL();

private:
    platform::Shell& shell_;
};

}  // namespace velmora::online
