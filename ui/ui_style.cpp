// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_style.h"

#include <QLabel>
#include <QPalette>

#include "platform/qt_plain_text.h"

namespace velmora::style {

QFont font(const QString& family, int pixelHeight, bool bold, bool underline) {
    QFont result(family);
    result.setPixelSize(pixelHeight);
    result.setBold(bold);
    result.setUnderline(underline);
    return result;
}

QLabel* label(QWidget* parent, int x, int y, const QString& text, const QFont& font,
              const QColor& color, int width, int height) {
    auto* result = new QLabel(parent);
    platform::makePlainText(*result);
    result->setText(text);
    result->setFont(font);
    QPalette palette = result->palette();
    palette.setColor(QPalette::WindowText, color);
    result->setPalette(palette);
    result->setAttribute(Qt::WA_TranslucentBackground);
    result->move(x, y);
    if (width > 0) {
        result->resize(width, height > 0 ? height : result->sizeHint().height());
    } else {
        result->adjustSize();
    }
    return result;
}

void paintWindowColour(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, kWindow);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

}  // namespace velmora::style
