// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A shell stand-in: records every address it is asked to open and answers
// as told; it never starts a program.

#include <string>
#include <vector>

#include "platform/shell.h"

namespace velmora::testing {

class RecordingShell : public platform::Shell {
public:
    bool openUrl(const std::string& url) override {
        opened.push_back(url);
        return accepts;
    }
    bool runProgram(const std::string&, const std::vector<std::string>&) override { return false; }

    std::vector<std::string> opened;
    bool accepts = true;
};

}  // namespace velmora::testing
