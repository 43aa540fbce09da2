// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fixed picture (the key legend, the trophy) shown at the screen's density:
// a label holding the 1x picture for its size, drawn from the picture made
// for the density of the screen it is on.

#include <QImage>
#include <QLabel>

namespace velmora::controls {

class PictureLabel : public QLabel {
    Q_OBJECT

public:
    // Loads `resource` (for example ":/pictures/key_legend.png").
    PictureLabel(const QString& resource, QWidget* parent);

    // The picture drawn now, device pixel ratio set.
    QImage shownPicture() const { return shown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString resource_;
    QImage shown_;
    double shownRatio_ = 0;  // the density shown_ was made for; 0: none yet
};

}  // namespace velmora::controls
