// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/density_picture.h"

#include <QFile>
#include <cmath>

namespace velmora::controls {

namespace {

bool sameRatio(double a, double b) {
    return std::abs(a - b) < 0.001;
}

// The density drawn for `ratio`, or the next denser one, or the densest.
double densityFor(double ratio) {
    for (double density : kPictureDensities) {
        if (density > ratio || sameRatio(density, ratio)) {
            return density;
        }
    }
    return std::end(kPictureDensities)[-1];
}

}  // namespace

QString densityFileName(const QString& resource, double ratio) {
    if (sameRatio(ratio, 1.0)) {
        return resource;
    }
    const qsizetype dot = resource.lastIndexOf('.');
    const qsizetype slash = resource.lastIndexOf('/');
    const qsizetype at = dot > slash ? dot : resource.size();
    return resource.left(at) + '@' + QString::number(ratio) + 'x' + resource.mid(at);
}

QImage pictureForRatio(const QString& resource, double ratio) {
    if (ratio <= 1.0 || sameRatio(ratio, 1.0)) {
        return QImage(resource);
    }
    const double density = densityFor(ratio);
    const QString drawn = densityFileName(resource, density);
    QImage picture(drawn);
    if (picture.isNull()) {
        // Not drawn for dense screens: Qt enlarges the 1x picture.
        return QImage(resource);
    }
    if (!sameRatio(density, ratio)) {
        const QSize logical(qRound(picture.width() / density), qRound(picture.height() / density));
        picture = picture.scaled(qRound(logical.width() * ratio), qRound(logical.height() * ratio),
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    picture.setDevicePixelRatio(ratio);
    return picture;
}

}  // namespace velmora::controls
