// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-art/icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <algorithm>

#include "engine/artwork.h"

namespace velmora::tools {

namespace {

// The tile's proportions, from the engine's 24-pixel tile.
constexpr double kTile = 24.0;
constexpr double kBevel = 2.0 / kTile;
constexpr double kMargin = 4.0;

QColor tileColour(int pieceType) {
    return QColor::fromRgb(engine::tileColours.at(static_cast<size_t>(pieceType)));
}

// Towards white by amount (0 to 1), towards black for a negative amount, as
// the engine shades its tiles.
QColor shade(const QColor& colour, double amount) {
    const double target = amount > 0 ? 255.0 : 0.0;
    const double t = std::abs(amount);
    auto mix = [&](int c) { return static_cast<int>(std::lround(c + (target - c) * t)); };
    return QColor(mix(colour.red()), mix(colour.green()), mix(colour.blue()));
}

IconShape plain(IconShape shape, const QColor& colour) {
    shape.stops = {{0.0, colour}};
    return shape;
}

IconShape rect(const QRectF& box, double radius = 0) {
    IconShape s;
    s.kind = IconShape::Kind::Rect;
    s.box = box;
    s.radius = radius;
    return s;
}

// One tile, as the engine draws it: a light bevel facing the top left, a dark
// one facing the bottom right, a glossy face with the plain colour through its
// middle, and an oval highlight in the upper half.
void addTile(std::vector<IconShape>& shapes, QPointF at, int pieceType) {
    const QColor colour = tileColour(pieceType);
    const double s = iconCellSide();
    const double b = s * kBevel;
    shapes.push_back(plain(rect(QRectF(at, QSizeF(s, s))), shade(colour, -0.5)));

    IconShape light;
    light.kind = IconShape::Kind::Polygon;
    light.points << at << at + QPointF(s, 0) << at + QPointF(s - b, b) << at + QPointF(b, b)
                 << at + QPointF(b, s - b) << at + QPointF(0, s);
    shapes.push_back(plain(light, shade(colour, 0.5)));

    IconShape face = rect(QRectF(at + QPointF(b, b), QSizeF(s - 2 * b, s - 2 * b)));
    face.stops = {
        {0.0, shade(colour, 0.3)}, {0.4, colour}, {0.55, colour}, {1.0, shade(colour, -0.22)}};
    shapes.push_back(face);

    IconShape spot;
    spot.kind = IconShape::Kind::Ellipse;
    const QPointF centre = at + QPointF(8.5, 5.5) * (s / kTile);
    const QSizeF radii(5.5 * s / kTile, 3.0 * s / kTile);
    spot.box = QRectF(centre - QPointF(radii.width(), radii.height()), radii * 2);
    shapes.push_back(plain(spot, QColor(255, 255, 255, 110)));
}

QString svgColour(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString number(double v) {
    return QString::number(v, 'g', 6);
}

QString svgFill(const IconShape& shape, int index, QString& defs) {
    if (shape.stops.size() == 1) {
        const QColor& c = shape.stops.front().second;
        QString fill = QStringLiteral("fill=\"%1\"").arg(svgColour(c));
        if (c.alpha() != 255) {
            fill += QStringLiteral(" fill-opacity=\"%1\"").arg(number(c.alphaF()));
        }
        return fill;
    }
    const QString id = QStringLiteral("g%1").arg(index);
    defs += QStringLiteral("    <linearGradient id=\"%1\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n")
                .arg(id);
    for (const auto& [offset, colour] : shape.stops) {
        defs += QStringLiteral("      <stop offset=\"%1\" stop-color=\"%2\"/>\n")
                    .arg(number(offset), svgColour(colour));
    }
    defs += QStringLiteral("    </linearGradient>\n");
    return QStringLiteral("fill=\"url(#%1)\"").arg(id);
}

QString svgElement(const IconShape& shape, const QString& fill) {
    switch (shape.kind) {
        case IconShape::Kind::Rect: {
            QString e = QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"")
                            .arg(number(shape.box.x()), number(shape.box.y()),
                                 number(shape.box.width()), number(shape.box.height()));
            if (shape.radius > 0) {
                e += QStringLiteral(" rx=\"%1\"").arg(number(shape.radius));
            }
            return e + QLatin1Char(' ') + fill + QStringLiteral("/>");
        }
        case IconShape::Kind::Ellipse:
            return QStringLiteral("<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" %5/>")
                .arg(number(shape.box.center().x()), number(shape.box.center().y()),
                     number(shape.box.width() / 2), number(shape.box.height() / 2), fill);
        case IconShape::Kind::Polygon: {
            QStringList points;
            for (const QPointF& p : shape.points) {
                points << number(p.x()) + QLatin1Char(',') + number(p.y());
            }
            return QStringLiteral("<polygon points=\"%1\" %2/>")
                .arg(points.join(QLatin1Char(' ')), fill);
        }
    }
    return {};
}

}  // namespace

std::vector<IconCell> iconCells() {
    // Piece types as the engine numbers them: 0 purple T, 3 yellow, 4 green, 6 blue.
    return {
        {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {2, 1, 0},  // the falling T
        {0, 2, 3}, {0, 3, 3}, {1, 3, 4}, {3, 3, 6},  // the rows it will complete
    };
}

double iconCellSide() {
    return (kIconGrid - 2 * kMargin) / 4;
}

QPointF iconCellOrigin(int column, int row) {
    return {kMargin + column * iconCellSide(), kMargin + row * iconCellSide()};
}

std::vector<IconShape> iconDesign() {
    std::vector<IconShape> shapes;
    // A grey rim like the well's frame bars, then the well's dark ground with
    // its faint cell lines.
    shapes.push_back(plain(rect(QRectF(0.5, 0.5, 63, 63), 9), QColor(150, 150, 150)));
    shapes.push_back(plain(rect(QRectF(2.5, 2.5, 59, 59), 7), QColor(28, 28, 28)));
    for (int i = 1; i < 4; ++i) {
        const double at = kMargin + i * iconCellSide();
        shapes.push_back(plain(rect(QRectF(at - 0.25, kMargin, 0.5, kIconGrid - 2 * kMargin)),
                               QColor(44, 44, 44)));
        shapes.push_back(plain(rect(QRectF(kMargin, at - 0.25, kIconGrid - 2 * kMargin, 0.5)),
                               QColor(44, 44, 44)));
    }
    for (const IconCell& cell : iconCells()) {
        addTile(shapes, iconCellOrigin(cell.column, cell.row), cell.pieceType);
    }
    return shapes;
}

QImage renderIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kIconGrid, size / kIconGrid);
    p.setPen(Qt::NoPen);
    for (const IconShape& shape : iconDesign()) {
        const QRectF bounds =
            shape.kind == IconShape::Kind::Polygon ? shape.points.boundingRect() : shape.box;
        if (shape.stops.size() == 1) {
            p.setBrush(shape.stops.front().second);
        } else {
            QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
            for (const auto& [offset, colour] : shape.stops) {
                gradient.setColorAt(offset, colour);
            }
            p.setBrush(gradient);
        }
        switch (shape.kind) {
            case IconShape::Kind::Rect:
                p.drawRoundedRect(shape.box, shape.radius, shape.radius);
                break;
            case IconShape::Kind::Ellipse:
                p.drawEllipse(shape.box);
                break;
            case IconShape::Kind::Polygon:
                p.drawPolygon(shape.points);
                break;
        }
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString iconSvg() {
    QString defs;
    QString body;
    const std::vector<IconShape> shapes = iconDesign();
    for (size_t i = 0; i < shapes.size(); ++i) {
        const QString fill = svgFill(shapes[i], static_cast<int>(i), defs);
        body += QStringLiteral("  ") + svgElement(shapes[i], fill) + QLatin1Char('\n');
    }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
               "viewBox=\"0 0 64 64\">\n"
               "  <title>Velmora</title>\n"
               "  <defs>\n") +
           defs + QStringLiteral("  </defs>\n") + body + QStringLiteral("</svg>\n");
}

}  // namespace velmora::tools
