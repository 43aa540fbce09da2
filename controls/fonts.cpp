// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/fonts.h"

#include <QFont>

namespace velmora::controls {

void installFontSubstitutions() {
    // Liberation fonts share Arial's and Times New Roman's widths; MS Sans
    // Serif is closest to a plain sans of the same family.
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
}

}  // namespace velmora::controls
