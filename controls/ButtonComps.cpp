// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ButtonComps.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include "controls/accessibility.h"

namespace velmora::controls {

TSelButton::TSelButton(QWidget* parent)
    : QWidget(parent),
      color_(QGuiApplication::palette().color(QPalette::Active, QPalette::Button)),
      colorOver_(132, 185, 164),
      colorDown_(132, 185, 164),
      colorOverCaption_(Qt::black),
      colorBorder_(128, 128, 128),
      fontColor_(128, 128, 128),
      pressedCaption_(fontColor_) {
    setFont(QFont(QStringLiteral("Arial"), 8));
    resize(105, 20);
    installAccessibility();
}

QString TSelButton::caption() const { return captionGiven_ ? caption_ : objectName(); }

void TSelButton::setCaption(const QString& caption) {
    caption_ = caption;
    captionGiven_ = true;
    repaint();
}

void TSelButton::setColor(const QColor& color) {
    color_ = color;
    repaint();
}

void TSelButton::setColorBorder(const QColor& color) {
    colorBorder_ = color;
    repaint();
}

void TSelButton::setFontColor(const QColor& color) {
    fontColor_ = color;
    update();
}

void TSelButton::setBorderWidth(int width) {
    borderWidth_ = width;
    repaint();
}

void TSelButton::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    repaint();
}

QPoint TSelButton::captionPosition(Look look) const {
    const QFontMetrics metrics(font());
    const int tw = metrics.horizontalAdvance(caption());
    const int th = metrics.height();
    const int w = width();
    int x = 5;
    if (alignment_ & Qt::AlignRight) {
        x = w - tw - 6;
    } else if (alignment_ & Qt::AlignHCenter) {
        x = w / 2 - tw / 2;
    }
    const QPoint rest(x, height() / 2 - th / 2);
    return look == Look::Pressed ? rest + QPoint(1, 1) : rest;
}

QColor TSelButton::faceOf(Look look) const {
    switch (look) {
        case Look::Hover:
            return colorOver_;
        case Look::Pressed:
            return colorDown_;
        case Look::Rest:
            break;
    }
    return color_;
}

void TSelButton::paintEvent(QPaintEvent*) {
    // A disabled button always shows its rest look.
    const Look look = isEnabled() ? look_ : Look::Rest;
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(1, 1), QPoint(w - 2, h - 2)), faceOf(look));

    QColor captionColor = fontColor_;
    if (look == Look::Hover) {
        captionColor = colorOverCaption_;
    } else if (look == Look::Pressed) {
        captionColor = pressedCaption_;
    }
    painter.setFont(font());
    painter.setPen(captionColor);
    const QPoint at = captionPosition(look);
    painter.drawText(at.x(), at.y() + QFontMetrics(font()).ascent(), caption());

    // Frame i runs from (i, i) to (W - i, H - i), the far edges exclusive.
    for (int i = 0; i < borderWidth_; ++i) {
        const QRect frame(QPoint(i, i), QPoint(w - i - 1, h - i - 1));
        if (frame.width() <= 0 || frame.height() <= 0) {
            break;
        }
        painter.fillRect(frame.left(), frame.top(), frame.width(), 1, colorBorder_);
        painter.fillRect(frame.left(), frame.bottom(), frame.width(), 1, colorBorder_);
        painter.fillRect(frame.left(), frame.top(), 1, frame.height(), colorBorder_);
        painter.fillRect(frame.right(), frame.top(), 1, frame.height(), colorBorder_);
    }
}

void TSelButton::showLook(Look look) {
    look_ = look;
    repaint();
}

void TSelButton::enterEvent(QEnterEvent* event) {
    over_ = true;
    if (isEnabled()) {
        showLook(Look::Hover);
    }
    QWidget::enterEvent(event);
}

void TSelButton::leaveEvent(QEvent* event) {
    over_ = false;
    showLook(Look::Rest);
    QWidget::leaveEvent(event);
}

void TSelButton::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled()) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        leftHeld_ = true;
        over_ = true;
        pressedCaption_ = look_ == Look::Hover ? colorOverCaption_ : fontColor_;
        showLook(Look::Pressed);
    }
    emit mouseDown(event->button(), event->position().toPoint());
}

void TSelButton::mouseMoveEvent(QMouseEvent* event) {
    // The mouse is held by this button while a button is down, so leaving
    // and coming back are seen here rather than as leave and enter events.
    const bool over = rect().contains(event->position().toPoint());
    if (!isEnabled() || over == over_) {
        return;
    }
    over_ = over;
    showLook(over ? Look::Hover : Look::Rest);
}

void TSelButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!isEnabled()) {
        return;
    }
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && leftHeld_) {
        leftHeld_ = false;
        over_ = rect().contains(at);
        showLook(Look::Rest);
        if (over_) {
            emit clicked(this);
            // A receiver may have disabled the button meanwhile.
            if (isEnabled()) {
                showLook(Look::Hover);
            }
        }
    }
    emit mouseUp(event->button(), at);
}

void TSelButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        leftHeld_ = false;
        look_ = isEnabled() && over_ ? Look::Hover : Look::Rest;
        update();
    } else if (event->type() == QEvent::FontChange) {
        update();
    }
    QWidget::changeEvent(event);
}

}  // namespace velmora::controls
