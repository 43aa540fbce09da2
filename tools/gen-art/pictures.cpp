// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen-art/pictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace velmora::tools {

namespace {

const QColor kWindow(59, 89, 152);
const QColor kPale(230, 227, 196);
const QColor kInk(38, 40, 58);
const QColor kShadow(28, 42, 86);
const QColor kGold(244, 196, 72);

// A w x h picture (in logical pixels) for a screen of `scale` device pixels
// to a logical one.
QImage canvas(int w, int h, const QColor& background, double scale) {
    QImage image(qRound(w * scale), qRound(h * scale), QImage::Format_RGB32);
    image.fill(background);
    return image;
}

// Drawing in logical pixels from here on; the 1x pictures are drawn with no
// transformation at all, so they stay exactly as they were.
void drawAtScale(QPainter& p, double scale) {
    if (scale != 1.0) {
        p.scale(scale, scale);
    }
}

QFont font(const QString& family, int pixels, bool bold, bool italic = false) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Text drawn twice, a dark copy under the pale one, as the windows' titles are.
void shadowedText(QPainter& p, const QRectF& box, int flags, const QString& text,
                  const QColor& face, QPointF offset = {1.5, 1.5}) {
    p.setPen(kShadow);
    p.drawText(box.translated(offset), flags, text);
    p.setPen(face);
    p.drawText(box, flags, text);
}

// Replaces every pixel of `from` by `to`; the buttons are drawn smoothly on
// the window colour and their outside then becomes the transparent white.
void replaceColour(QImage& image, const QColor& from, const QColor& to) {
    const QRgb a = from.rgb();
    const QRgb b = to.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == a) {
                line[x] = b;
            }
        }
    }
}

// One cell of a falling piece: a bevelled square.
void cell(QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c.darker(150));
    p.drawRect(r);
    p.setBrush(c.lighter(135));
    p.drawRect(r.adjusted(0, 0, -1.5, -1.5));
    p.setBrush(c);
    p.drawRect(r.adjusted(1.5, 1.5, -1.5, -1.5));
}

// A pale key cap with a dark symbol drawn by `symbol` in its 16 x 16 box.
template <typename Symbol>
void keyCap(QPainter& p, QPointF at, Symbol symbol) {
    const QRectF cap(at, QSizeF(17, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 145, 118));
    p.drawRoundedRect(cap.translated(0, 1.5), 3, 3);
    QLinearGradient face(cap.topLeft(), cap.bottomLeft());
    face.setColorAt(0, QColor(246, 244, 226));
    face.setColorAt(1, QColor(214, 210, 178));
    p.setBrush(face);
    p.drawRoundedRect(cap, 3, 3);
    p.setBrush(kInk);
    p.setPen(kInk);
    symbol(cap.center());
}

void arrow(QPainter& p, QPointF centre, double angleDegrees) {
    p.save();
    p.translate(centre);
    p.rotate(angleDegrees);
    QPolygonF head;
    head << QPointF(0, -5.5) << QPointF(4.5, 0) << QPointF(1.6, 0) << QPointF(1.6, 5)
         << QPointF(-1.6, 5) << QPointF(-1.6, 0) << QPointF(-4.5, 0);
    p.setPen(Qt::NoPen);
    p.drawPolygon(head);
    p.restore();
}

}  // namespace

QImage pictureButton(const QString& caption, double scale) {
    QImage image = canvas(126, 40, kWindow, scale);
    {
        QPainter p(&image);
        drawAtScale(p, scale);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QRectF outer(0.5, 0.5, 125, 39);
        p.setPen(QPen(QColor(92, 82, 58), 1));
        QLinearGradient face(0, 1, 0, 39);
        face.setColorAt(0.0, QColor(246, 244, 222));
        face.setColorAt(0.5, kPale);
        face.setColorAt(1.0, QColor(212, 207, 170));
        p.setBrush(face);
        p.drawRoundedRect(outer, 7, 7);
        // A thin light line inside the top edge lifts the face.
        p.setPen(QPen(QColor(252, 251, 238), 1));
        p.drawLine(QPointF(6, 2), QPointF(120, 2));

        QFont f = font("Liberation Sans", 14, true);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
        while (QFontMetrics(f).horizontalAdvance(caption) > 108 && f.pixelSize() > 9) {
            f.setPixelSize(f.pixelSize() - 1);
        }
        p.setFont(f);
        const QRectF box(0, 0, 126, 39);
        p.setPen(QColor(252, 250, 236));
        p.drawText(box.translated(0, 1), Qt::AlignCenter, caption);
        p.setPen(kInk);
        p.drawText(box, Qt::AlignCenter, caption);
    }
    replaceColour(image, kWindow, Qt::white);
    return image;
}

QImage keyLegend(double scale) {
    QImage image = canvas(130, 102, kWindow, scale);
    QPainter p(&image);
    drawAtScale(p, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    struct Row {
        const char* text;
        double angle;  // of the arrow; below 0 for the letter P
    };
    const Row rows[] = {{"Rotate", 0}, {"Move right", 90}, {"Move left", 270},
                        {"Drop faster", 180}, {"Pause", -1}};
    p.setFont(font("Liberation Sans", 12, true));
    for (int i = 0; i < 5; ++i) {
        const double top = 3 + i * 19.5;
        keyCap(p, QPointF(4, top), [&](QPointF centre) {
            if (rows[i].angle >= 0) {
                arrow(p, centre, rows[i].angle);
            } else {
                p.setFont(font("Liberation Sans", 12, true));
                p.drawText(QRectF(centre - QPointF(8, 8), QSizeF(16, 16)), Qt::AlignCenter, "P");
            }
        });
        p.setFont(font("Liberation Sans", 12, true));
        shadowedText(p, QRectF(28, top - 1, 100, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     rows[i].text, kPale, {1, 1});
    }
    return image;
}

QImage makerLogo(double scale) {
    QImage image = canvas(293, 60, kWindow, scale);
    QPainter p(&image);
    drawAtScale(p, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Emblem: a golden disc with a lightning bolt, for the "volt" in the name.
    const QRectF disc(6, 6, 48, 48);
    p.setPen(Qt::NoPen);
    p.setBrush(kShadow);
    p.drawEllipse(disc.translated(1.5, 1.5));
    QRadialGradient gold(disc.center() - QPointF(8, 10), 40);
    gold.setColorAt(0, QColor(255, 236, 150));
    gold.setColorAt(0.6, kGold);
    gold.setColorAt(1, QColor(186, 130, 30));
    p.setBrush(gold);
    p.drawEllipse(disc);
    p.setBrush(kWindow.darker(120));
    p.drawEllipse(disc.adjusted(5, 5, -5, -5));
    QPolygonF bolt;
    bolt << QPointF(34, 12) << QPointF(20, 33) << QPointF(29, 33) << QPointF(25, 48)
         << QPointF(41, 25) << QPointF(31, 25) << QPointF(36, 12);
    p.setBrush(QColor(255, 226, 110));
    p.setPen(QPen(QColor(150, 100, 20), 1));
    p.drawPolygon(bolt);

    p.setFont(font("Liberation Serif", 30, true, true));
    shadowedText(p, QRectF(64, 0, 229, 38), Qt::AlignLeft | Qt::AlignBottom, "Nivolt Software",
                 kPale, {2, 2});
    p.setFont(font("Liberation Sans", 13, true));
    p.setPen(QColor(255, 214, 110));
    p.drawText(QRectF(66, 38, 227, 20), Qt::AlignLeft | Qt::AlignVCenter,
               "www.nivoltsoftware.com");
    return image;
}

QImage productLogo(double scale) {
    QImage image = canvas(185, 53, kWindow, scale);
    QPainter p(&image);
    drawAtScale(p, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A T piece settling onto an S piece.
    const double s = 9;
    const QColor purple(168, 92, 214);
    const QColor green(92, 196, 96);
    cell(p, QRectF(4, 6, s, s), purple);
    cell(p, QRectF(4 + s, 6, s, s), purple);
    cell(p, QRectF(4 + 2 * s, 6, s, s), purple);
    cell(p, QRectF(4 + s, 6 + s, s, s), purple);
    cell(p, QRectF(4 + s, 6 + 3 * s, s, s), green);
    cell(p, QRectF(4 + 2 * s, 6 + 3 * s, s, s), green);
    cell(p, QRectF(4 + 2 * s, 6 + 2 * s, s, s), QColor(240, 180, 60));
    cell(p, QRectF(4, 6 + 3 * s, s, s), QColor(70, 170, 230));
    cell(p, QRectF(4, 6 + 2 * s, s, s), QColor(70, 170, 230));

    QFont title = font("Liberation Sans", 32, true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(title);
    shadowedText(p, QRectF(38, -2, 147, 40), Qt::AlignLeft | Qt::AlignVCenter, "Velmora", kPale,
                 {2, 2});
    p.setFont(font("Liberation Serif", 12, true, true));
    p.setPen(QColor(255, 214, 110));
    p.drawText(QRectF(40, 35, 145, 17), Qt::AlignLeft | Qt::AlignVCenter, "by Nivolt Software");
    return image;
}

QImage highScorePicture(double scale) {
    QImage image = canvas(110, 116, kWindow, scale);
    QPainter p(&image);
    drawAtScale(p, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient gold(20, 0, 90, 0);
    gold.setColorAt(0, QColor(190, 134, 28));
    gold.setColorAt(0.35, QColor(255, 230, 130));
    gold.setColorAt(0.6, kGold);
    gold.setColorAt(1, QColor(170, 116, 22));
    const QPen rim(QColor(120, 80, 14), 1.2);

    // Handles, behind the cup.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 148, 40), 5));
    p.drawArc(QRectF(12, 14, 24, 28), 90 * 16, 180 * 16);
    p.drawArc(QRectF(74, 14, 24, 28), 270 * 16, 180 * 16);

    QPainterPath cup;
    cup.moveTo(24, 10);
    cup.lineTo(86, 10);
    cup.cubicTo(86, 44, 72, 58, 55, 60);
    cup.cubicTo(38, 58, 24, 44, 24, 10);
    p.setPen(rim);
    p.setBrush(gold);
    p.drawPath(cup);
    p.drawRect(QRectF(50, 60, 10, 12));
    p.drawRoundedRect(QRectF(38, 71, 34, 6), 2, 2);

    // A star on the cup.
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? 10 : 4.2;
        const double a = (-90 + 36 * i) * 3.14159265358979 / 180.0;
        star << QPointF(55 + r * std::cos(a), 30 + r * std::sin(a));
    }
    p.setPen(QPen(QColor(150, 100, 20), 1));
    p.setBrush(QColor(255, 244, 190));
    p.drawPolygon(star);

    // A dark plinth with a pale plate.
    QLinearGradient wood(0, 77, 0, 94);
    wood.setColorAt(0, QColor(120, 78, 48));
    wood.setColorAt(1, QColor(70, 44, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(30, 77, 50, 17), 2, 2);
    p.setBrush(kPale);
    p.drawRect(QRectF(40, 82, 30, 7));

    p.setFont(font("Liberation Sans", 13, true));
    shadowedText(p, QRectF(0, 96, 110, 20), Qt::AlignCenter, "HIGH SCORES", kPale, {1, 1});
    return image;
}

}  // namespace velmora::tools
