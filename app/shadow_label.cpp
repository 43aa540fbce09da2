// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shadow_label.h"

#include <QPainter>

#include "controls/accessibility.h"

namespace velmora {

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    controls::setAccessibleRole(this, QAccessible::StaticText);
    setAccessibleName(text);
}

void ShadowLabel::setText(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    update();
}

void ShadowLabel::setColors(QColor face, QColor shadow) {
    face_ = face;
    shadow_ = shadow;
    update();
}

void ShadowLabel::setShadowOffset(int pixels) {
    offset_ = pixels;
    update();
}

void ShadowLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void ShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    QRect face = rect().adjusted(0, 0, -offset_, -offset_);
    painter.setPen(shadow_);
    painter.drawText(face.translated(offset_, offset_), alignment_, text_);
    painter.setPen(face_);
    painter.drawText(face, alignment_, text_);
}

}  // namespace velmora
