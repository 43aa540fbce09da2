// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TFlatPanelUnit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include "controls/accessibility.h"

namespace velmora::controls {

namespace {

const QColor kDefaultFrame(160, 150, 131);

}  // namespace

TFlatPanel::TFlatPanel(QWidget* parent)
    : QWidget(parent), colorHighLight_(kDefaultFrame), colorShadow_(kDefaultFrame) {
    // Every pixel is drawn here, the parent's too when transparent.
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
    installAccessibility();
}

void TFlatPanel::setColorHighLight(const QColor& color) {
    colorHighLight_ = color;
    update();
}

void TFlatPanel::setColorShadow(const QColor& color) {
    colorShadow_ = color;
    update();
}

void TFlatPanel::setTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void TFlatPanel::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TFlatPanel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    update();
}

QColor TFlatPanel::color() const { return palette().color(QPalette::Active, QPalette::Window); }

void TFlatPanel::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

QColor TFlatPanel::fontColor() const {
    return palette().color(QPalette::Active, QPalette::WindowText);
}

void TFlatPanel::setFontColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void TFlatPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

void TFlatPanel::paintEvent(QPaintEvent*) {
    // Composed off screen and copied in one piece, so nothing flickers.
    QPixmap picture(size() * devicePixelRatioF());
    picture.setDevicePixelRatio(devicePixelRatioF());
    {
        QPainter painter(&picture);
        paintBackground(painter);
        paintFrame(painter);
        paintCaption(painter);
    }
    QPainter(this).drawPixmap(0, 0, picture);
}

void TFlatPanel::paintBackground(QPainter& painter) {
    painter.fillRect(rect(), color());
    QWidget* parent = parentWidget();
    if (!transparent_ || parent == nullptr || renderingParent_) {
        return;
    }
    // The parent paints its own background and content (not its children, so
    // this panel is never asked to paint itself again) into our picture,
    // shifted so its pixels line up, and clipped to its client area.
    QRect visible = geometry().intersected(parent->rect());
    if (visible.isEmpty()) {
        return;
    }
    renderingParent_ = true;
    parent->render(&painter, visible.topLeft() - pos(), QRegion(visible),
                   QWidget::DrawWindowBackground);
    renderingParent_ = false;
}

void TFlatPanel::paintFrame(QPainter& painter) const {
    const int w = width();
    const int h = height();
    // As the classic 3-D frame: the highlight owns the bottom-left corner,
    // the shadow the top-right one.
    painter.fillRect(0, 0, w - 1, 1, colorHighLight_);
    painter.fillRect(0, 0, 1, h, colorHighLight_);
    painter.fillRect(w - 1, 0, 1, h, colorShadow_);
    painter.fillRect(1, h - 1, w - 1, 1, colorShadow_);
}

void TFlatPanel::paintCaption(QPainter& painter) const {
    if (caption_.isEmpty()) {
        return;
    }
    const QRect area = rect().adjusted(1, 1, -1, -1);
    const int flags = static_cast<int>(alignment_) | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(fontColor());
        painter.drawText(area, flags, caption_);
        return;
    }
    // Engraved: a highlight copy one pixel down and right under a shadow copy.
    const QPalette system = QGuiApplication::palette();
    painter.setPen(system.color(QPalette::Active, QPalette::Light));
    painter.drawText(area.translated(1, 1), flags, caption_);
    painter.setPen(system.color(QPalette::Active, QPalette::Dark));
    painter.drawText(area, flags, caption_);
}

}  // namespace velmora::controls
