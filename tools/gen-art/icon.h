// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's icon: a T piece about to drop into the gap of two nearly full
// rows, drawn with the game's own cell tiles on the well's dark ground. One
// design, kept as a list of shapes on a 64 x 64 grid, gives both the PNG icons
// of every size and the scalable SVG, so they cannot drift apart.

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <utility>
#include <vector>

namespace velmora::tools {

constexpr double kIconGrid = 64.0;  // side of the design's square, in its units

// A filled shape. One stop is a plain colour; several run top to bottom over
// the shape's bounding box.
struct IconShape {
    enum class Kind { Rect, Ellipse, Polygon };
    Kind kind = Kind::Rect;
    QRectF box;         // Rect and Ellipse
    double radius = 0;  // corner radius of a Rect
    QPolygonF points;   // Polygon
    std::vector<std::pair<double, QColor>> stops;
};

// A cell of the icon's picture, by column and row of its 4 x 4 grid and the
// piece type whose tile it shows.
struct IconCell {
    int column;
    int row;
    int pieceType;
};

// Where the cells sit; the rest of the grid shows the ground.
std::vector<IconCell> iconCells();

// Side and top-left corner of cell (column, row) in design units.
double iconCellSide();
QPointF iconCellOrigin(int column, int row);

// The whole design, back to front.
std::vector<IconShape> iconDesign();

// The design drawn at size x size pixels, transparent around the rounded ground.
QImage renderIcon(int size);

// The design as an SVG document.
QString iconSvg();

// The sizes of the PNG icons installed for the desktop.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

}  // namespace velmora::tools
