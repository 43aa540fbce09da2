// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/picture_label.h"

#include <QPainter>
#include <QPixmap>

#include "controls/density_picture.h"

namespace velmora::controls {

PictureLabel::PictureLabel(const QString& resource, QWidget* parent)
    : QLabel(parent), resource_(resource) {
    setPixmap(QPixmap(resource));
}

// The density is known only on screen, and changes when the window moves to
// another screen: the picture is chosen when it is drawn.
void PictureLabel::paintEvent(QPaintEvent*) {
    const double ratio = devicePixelRatioF();
    if (shownRatio_ != ratio) {
        shown_ = pictureForRatio(resource_, ratio);
        shownRatio_ = ratio;
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), shown_);
}

}  // namespace velmora::controls
