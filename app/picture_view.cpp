// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_view.h"

#include <QPaintEvent>
#include <QPainter>

#include "controls/accessibility.h"

namespace velmora {

PictureView::PictureView(const engine::Picture& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    controls::setAccessibleRole(this, QAccessible::Graphic);
}

QImage PictureView::image() const {
    QImage shared(reinterpret_cast<const uchar*>(picture_.pixels.data()), picture_.width,
                  picture_.height, picture_.width * 4, QImage::Format_RGB32);
    shared.setDevicePixelRatio(picture_.pixelRatio);
    return shared;
}

void PictureView::paintEvent(QPaintEvent* event) {
    const double ratio = devicePixelRatioF();
    if (ratioListener_ && ratio != picture_.pixelRatio) {
        ratioListener_(ratio);
    }
    QPainter painter(this);
    if (ratio == 1.0 && picture_.pixelRatio == 1.0) {
        painter.drawImage(event->rect(), image(), event->rect());
    } else {
        // Device pixel for device pixel where the densities match.
        painter.drawImage(QPointF(0, 0), image());
    }
}

}  // namespace velmora
