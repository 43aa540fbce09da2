// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window's pages: fixed text, one entry per line.

#include <QString>
#include <QStringList>
#include <vector>

namespace velmora {

struct HelpPage {
    int tag;         // the page's button carries it; the page is named "memo" + tag
    QString button;  // the button's caption, shown as the title
    QStringList lines;
};

// Overview (1), Game Play (3), Scoring (4) and Documentation (5), in the
// order of their buttons.
const std::vector<HelpPage>& helpPages();

}  // namespace velmora
