// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/highlight_button.h"

#include "ui/ui_style.h"

namespace velmora {

controls::TSelButton* highlightButton(QWidget* parent, const QString& name, const QString& caption,
                                      QRect bounds, Qt::Alignment alignment) {
    auto* button = new controls::TSelButton(parent);
    button->setObjectName(name);
    button->setGeometry(bounds);
    button->setFont(style::font("Arial", 13, true));
    button->setFontColor(style::kGrey);
    button->setColorOverCaption(Qt::black);
    button->setColor(style::kPale);
    button->setColorOver(style::kPale);
    button->setColorDown(style::kPale);
    button->setColorBorder(Qt::black);
    button->setAlignment(alignment);
    button->setCaption(caption);
    return button;
}

}  // namespace velmora
