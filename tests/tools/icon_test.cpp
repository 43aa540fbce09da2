// SPDX-License-Identifier: GPL-3.0-or-later
// The icon: one design behind the PNGs, the SVG and the window's icon.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QXmlStreamReader>
#include <cmath>

#include "engine/artwork.h"
#include "tools/gen-art/icon.h"
#include "ui/application.h"

namespace velmora::tools {
namespace {

int distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// Mean difference per channel over the picture, alpha included.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += distance(p, q) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

// The middle of a cell's face, where the tile shows its own colour.
QPoint faceCentre(int column, int row, int size) {
    const double scale = size / kIconGrid;
    const QPointF at = iconCellOrigin(column, row) + QPointF(0.5, 0.48) * iconCellSide();
    return (at * scale).toPoint();
}

TEST(Icon, EverySizeShowsTheTilesInTheirColoursOnTheDarkGround) {
    for (const int size : kIconSizes) {
        const QImage icon = renderIcon(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_LT(qAlpha(icon.pixel(0, 0)), 32) << size << ": the corners are see-through";
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size / 2)), 255) << size;
        if (size < 32) {
            continue;  // cells of a few pixels are all bevel
        }
        for (const IconCell& cell : iconCells()) {
            const QRgb want = engine::tileColours[static_cast<size_t>(cell.pieceType)];
            EXPECT_LE(distance(icon.pixel(faceCentre(cell.column, cell.row, size)), want), 24)
                << size << ": cell " << cell.column << "," << cell.row;
        }
        // An empty cell shows the ground.
        EXPECT_LE(qGray(icon.pixel(faceCentre(0, 0, size))), 50) << size;
        EXPECT_LE(qGray(icon.pixel(faceCentre(2, 3, size))), 50) << size;
    }
}

TEST(Icon, SvgIsWellFormedAndDrawsTheSamePicture) {
    const QByteArray svg = iconSvg().toUtf8();
    QXmlStreamReader xml(svg);
    int shapes = 0;
    QString viewBox;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QStringView name = xml.name();
        if (name == u"svg") {
            viewBox = xml.attributes().value("viewBox").toString();
        }
        shapes += name == u"rect" || name == u"ellipse" || name == u"polygon" ? 1 : 0;
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(viewBox, "0 0 64 64");
    EXPECT_EQ(shapes, static_cast<int>(iconDesign().size()));

    // Qt's own SVG reader draws the document like the PNG renderer does.
    QBuffer buffer;
    buffer.setData(svg);
    QImageReader reader(&buffer, "svg");
    if (!reader.canRead()) {
        GTEST_SKIP() << "no SVG image plugin";
    }
    reader.setScaledSize(QSize(128, 128));
    const QImage drawn = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(drawn.size(), QSize(128, 128));
    EXPECT_LT(meanDifference(drawn, renderIcon(128)), 4.0);
}

TEST(Icon, KeptArtworkAndTheWindowIconMatchTheDesign) {
    // The committed files are what the generator draws today, so a changed
    // design cannot ship with stale pictures.
    const QString folder = qEnvironmentVariable("VELMORA_PICTURES");
    ASSERT_FALSE(folder.isEmpty());
    for (const int size : kIconSizes) {
        const QImage kept(QStringLiteral("%1/icon_%2.png").arg(folder).arg(size));
        ASSERT_EQ(kept.size(), QSize(size, size)) << size;
        EXPECT_LT(meanDifference(kept.convertToFormat(QImage::Format_ARGB32), renderIcon(size)),
                  1.0)
            << size;
    }
    QFile svg(folder + QStringLiteral("/icon.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(svg.readAll()), iconSvg());

    // The application gives every window the same icon, in every size.
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : kIconSizes) {
        const QImage shown =
            icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(shown.size(), QSize(size, size)) << size;
        EXPECT_LT(meanDifference(shown, renderIcon(size)), 1.0) << size;
    }
    EXPECT_EQ(QGuiApplication::desktopFileName(), "velmora");
}

}  // namespace
}  // namespace velmora::tools
