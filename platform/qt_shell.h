// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's shell: addresses go to the desktop (xdg-open and friends
// through Qt), programs are started directly.

#include "platform/shell.h"

namespace velmora::platform {

class QtShell final : public Shell {
public:
    // Needs a QGuiApplication; use on the UI thread.
    bool openUrl(const std::string& url) override;
    bool runProgram(const std::string& path, const std::vector<std::string>& arguments) override;
};

}  // namespace velmora::platform
