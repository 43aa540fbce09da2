// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picture_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "controls/accessibility.h"
#include "controls/density_picture.h"

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

namespace {

// "button_send_score.png" reads "Send Score".
QString nameFromResource(const QString& resource) {
    QString base = resource.section('/', -1).section('.', 0, 0);
    if (base.startsWith("button_")) {
        base.remove(0, 7);
    }
    QStringList words = base.split('_', Qt::SkipEmptyParts);
    for (QString& word : words) {
        word[0] = word[0].toUpper();
    }
    return words.join(' ');
}

}  // namespace

PictureButton::PictureButton(QWidget* parent) : QWidget(parent) {
    installAccessibility();
}

PictureButton::PictureButton(const QString& resource, QWidget* parent) : QWidget(parent) {
    installAccessibility();
    setAccessibleName(nameFromResource(resource));
    setPicture(QImage(resource));
    resource_ = resource;
}

void PictureButton::setPicture(const QImage& picture) {
    resource_.clear();
    picture_ = picture;
    resize(picture.size());
    refresh();
}

void PictureButton::setTransparent(bool transparent) {
    transparent_ = transparent;
    refresh();
}

void PictureButton::refresh() {
    shownRatio_ = 0;
    update();
}

// The density is known only on screen, and changes when the window moves to
// another screen: the picture is chosen when it is drawn.
void PictureButton::paintEvent(QPaintEvent*) {
    const double ratio = devicePixelRatioF();
    if (shownRatio_ != ratio) {
        QImage picture = resource_.isEmpty() ? picture_ : pictureForRatio(resource_, ratio);
        shown_ = QPixmap::fromImage(transparent_ ? withBottomLeftTransparent(picture) : picture);
        shownRatio_ = ratio;
    }
    QPainter(this).drawPixmap(QPointF(0, 0), shown_);
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
