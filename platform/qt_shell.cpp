// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace velmora::platform {

bool QtShell::openUrl(const std::string& url) {
    // Tolerant parsing accepts what a page's link or a typed address holds
    // (spaces, missing escapes) the way a browser's address bar would.
    QUrl target = QUrl::fromUserInput(QString::fromStdString(url));
    return target.isValid() && QDesktopServices::openUrl(target);
}

bool QtShell::runProgram(const std::string& path, const std::vector<std::string>& arguments) {
    return spawnProgram(path, arguments);
}

}  // namespace velmora::platform
