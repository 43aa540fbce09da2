// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/html_pictures.h"

#include <QBuffer>
#include <QImageReader>

namespace velmora::online {

namespace {

// Percent-encoding at most triples a byte; anything longer cannot decode
// into an acceptable payload and is refused before any work.
constexpr qsizetype kMaxAddressChars = kMaxPictureBytes * 3 + 1024;

bool isAcceptedFormat(const QByteArray& format) {
    return format == "png" || format == "gif" || format == "jpeg" || format == "jpg" ||
           format == "bmp";
}

QByteArray payloadOf(const QString& address) {
    qsizetype comma = address.indexOf(',');
    if (comma < 0) {
        return {};
    }
    QString header = address.left(comma).toLower();
    QByteArray data = QByteArray::fromPercentEncoding(address.mid(comma + 1).toLatin1());
    if (header.endsWith(";base64")) {
        auto decoded =
            QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            // Line breaks and blanks are common inside long base64 runs.
            data = data.simplified().replace(' ', QByteArray());
            decoded = QByteArray::fromBase64Encoding(data, QByteArray::AbortOnBase64DecodingErrors);
        }
        return decoded ? *decoded : QByteArray();
    }
    return data;
}

}  // namespace

QImage decodeDataPicture(const QString& address) {
    if (!address.startsWith("data:", Qt::CaseInsensitive) || address.size() > kMaxAddressChars) {
        return {};
    }
    QByteArray bytes = payloadOf(address.mid(5));
    if (bytes.isEmpty() || bytes.size() > kMaxPictureBytes) {
        return {};
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!isAcceptedFormat(reader.format().toLower())) {
        return {};
    }
    QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxPictureSide || size.height() > kMaxPictureSide ||
        qint64(size.width()) * size.height() > kMaxPicturePixels) {
        return {};
    }
    // A header that lies about the size is caught by the reader's own limit.
    reader.setAllocationLimit(kMaxPictureSide * kMaxPictureSide * 4 / (1024 * 1024) + 1);
    QImage picture = reader.read();
    if (picture.width() > kMaxPictureSide || picture.height() > kMaxPictureSide ||
        qint64(picture.width()) * picture.height() > kMaxPicturePixels) {
        return {};
    }
    return picture;
}

}  // namespace velmora::online
