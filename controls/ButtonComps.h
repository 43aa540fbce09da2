// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TSelButton: the highlight button of the help and about windows. A flat face
// with nested frames whose colours change while the mouse is over it and
// while the left button holds it down.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace velmora::controls {

class TSelButton : public QWidget {
    Q_OBJECT

public:
    enum class Look { Rest, Hover, Pressed };

    // 105 x 20, face the palette's button colour, font "Arial" 8 point in
    // RGB (128, 128, 128), one frame, caption on the left.
    explicit TSelButton(QWidget* parent = nullptr);

    // The caption; until one is given it reads the button's object name.
    QString caption() const;
    void setCaption(const QString& caption);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    // Face while the mouse is over it; RGB (132, 185, 164) by default.
    QColor colorOver() const { return colorOver_; }
    void setColorOver(const QColor& color) { colorOver_ = color; }
    // Face while the left button holds it down; RGB (132, 185, 164).
    QColor colorDown() const { return colorDown_; }
    void setColorDown(const QColor& color) { colorDown_ = color; }
    // Caption while the mouse is over it; black by default.
    QColor colorOverCaption() const { return colorOverCaption_; }
    void setColorOverCaption(const QColor& color) { colorOverCaption_ = color; }
    // The frames; RGB (128, 128, 128) by default.
    QColor colorBorder() const { return colorBorder_; }
    void setColorBorder(const QColor& color);
    // The caption at rest.
    QColor fontColor() const { return fontColor_; }
    void setFontColor(const QColor& color);

    // Number of nested one-pixel frames, 1 by default.
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);

    // Qt::AlignLeft (the default), Qt::AlignRight or Qt::AlignHCenter.
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    // The look drawn at the moment.
    Look look() const { return look_; }

    // Where the caption's top-left corner goes in a look, by the button's
    // rules: x = 5, W - tw - 6 or W/2 - tw/2 by alignment, y = H/2 - th/2,
    // one pixel right and down while pressed.
    QPoint captionPosition(Look look) const;

signals:
    // A left click released over the enabled button; it shows its rest look
    // while the receivers run.
    void clicked(velmora::controls::TSelButton* sender);
    // Any mouse button pressed or released on the enabled button.
    void mouseDown(Qt::MouseButton button, QPoint position);
    void mouseUp(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showLook(Look look);
    QColor faceOf(Look look) const;

    QString caption_;
    bool captionGiven_ = false;
    QColor color_;
    QColor colorOver_;
    QColor colorDown_;
    QColor colorOverCaption_;
    QColor colorBorder_;
    QColor fontColor_;
    int borderWidth_ = 1;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    int tag_ = 0;
    Look look_ = Look::Rest;
    // The caption colour of the moment, kept while the button is held down.
    QColor pressedCaption_;
    bool leftHeld_ = false;
    bool over_ = false;
};

}  // namespace velmora::controls
