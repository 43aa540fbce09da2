// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TFlatPanel: the flat framed panel every window of the program is built from.
// A container with a one-pixel two-colour frame and a one-line caption, drawn
// off screen and copied in one piece, optionally showing its parent through.

#include <QColor>
#include <QString>
#include <QWidget>

namespace velmora::controls {

class TFlatPanel : public QWidget {
    Q_OBJECT

public:
    // 185 x 41; colour, caption colour and font come from the parent (the
    // palette's Window and WindowText roles and the font, inherited as Qt
    // does) until set on the panel itself.
    explicit TFlatPanel(QWidget* parent = nullptr);

    // Top and left edge of the frame; RGB (160, 150, 131) by default.
    QColor colorHighLight() const { return colorHighLight_; }
    void setColorHighLight(const QColor& color);

    // Bottom and right edge of the frame; RGB (160, 150, 131) by default.
    QColor colorShadow() const { return colorShadow_; }
    void setColorShadow(const QColor& color);

    // When true the parent's background and content show inside the frame
    // instead of Color.
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

    // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter (the default).
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    // The fill colour (palette role Window) and the caption colour (palette
    // role WindowText); setting either stops inheriting it from the parent.
    QColor color() const;
    void setColor(const QColor& color);
    QColor fontColor() const;
    void setFontColor(const QColor& color);

    // A small integer the owner keeps with the panel.
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintBackground(QPainter& painter);
    void paintFrame(QPainter& painter) const;
    void paintCaption(QPainter& painter) const;

    QColor colorHighLight_;
    QColor colorShadow_;
    bool transparent_ = false;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    int tag_ = 0;
    // Set while the parent renders itself into this panel's picture, so a
    // parent that paints its children cannot bring us back here.
    bool renderingParent_ = false;
};

}  // namespace velmora::controls
