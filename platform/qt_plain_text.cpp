// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_plain_text.h"

#include <QLabel>
#include <QMessageBox>

namespace velmora::platform {

void makePlainText(QLabel& label) {
    label.setTextFormat(Qt::PlainText);
    // Plain text opens no links, but say so: a later format change must not.
    label.setOpenExternalLinks(false);
    label.setTextInteractionFlags(label.textInteractionFlags() & ~Qt::LinksAccessibleByMouse &
                                  ~Qt::LinksAccessibleByKeyboard);
}

void makePlainText(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
}

}  // namespace velmora::platform
