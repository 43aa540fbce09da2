// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture that acts as a button: it reacts to a left click only and has no
// hover or pressed look. Used for the lettered 126 x 40 buttons. A picture
// loaded from a resource is drawn at the screen's density.

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace velmora::controls {

// `picture` with every pixel of its bottom-left pixel's colour made fully
// transparent; an empty picture stays empty.
QImage withBottomLeftTransparent(const QImage& picture);

class PictureButton : public QWidget {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);
    // Loads `resource` (for example ":/pictures/button_done.png"); the
    // button is named for screen readers by its lettering, from the file name.
    PictureButton(const QString& resource, QWidget* parent);

    // Shows `picture` and takes its size; it is enlarged on denser screens.
    void setPicture(const QImage& picture);
    QImage picture() const { return picture_; }
    // What is drawn now, for the screen the button is on.
    QPixmap shownPicture() const { return shown_; }

    // When true the colour of the picture's bottom-left pixel is not drawn.
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);

signals:
    // A left button pressed and released over the button.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void refresh();

    QString resource_;
    QImage picture_;
    QPixmap shown_;
    double shownRatio_ = 0;  // the density shown_ was made for; 0: none yet
    bool transparent_ = false;
    bool leftHeld_ = false;
};

}  // namespace velmora::controls
