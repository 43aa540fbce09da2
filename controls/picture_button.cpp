// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picture_button.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora::controls {

QImage withBottomLeftTransparent(const QImage& picture) {
    if (picture.isNull()) {
        return picture;
    }
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, out.height() - 1);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (line[x] == key) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return out;
}

PictureButton::PictureButton(QWidget* parent) : QWidget(parent) {}

PictureButton::PictureButton(const QString& resource, QWidget* parent) : QWidget(parent) {
    setPicture(QImage(resource));
}

void PictureButton::setPicture(const QImage& picture) {
    picture_ = picture;
    resize(picture.size());
    refresh();
}

void PictureButton::setTransparent(bool transparent) {
    transparent_ = transparent;
    refresh();
}

void PictureButton::refresh() {
    shown_ = QPixmap::fromImage(transparent_ ? withBottomLeftTransparent(picture_) : picture_);
    update();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, shown_);
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftHeld_ = true;
    }
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !leftHeld_) {
        return;
    }
    leftHeld_ = false;
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace velmora::controls
