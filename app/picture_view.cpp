// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_view.h"

#include <QPaintEvent>
#include <QPainter>

namespace velmora {

PictureView::PictureView(const engine::Picture& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage PictureView::image() const {
    return QImage(reinterpret_cast<const uchar*>(picture_.pixels.data()), picture_.width,
                  picture_.height, picture_.width * 4, QImage::Format_RGB32);
}

void PictureView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), image(), event->rect());
}

}  // namespace velmora
