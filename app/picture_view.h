// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows one of the engine's pictures as it stands, without copying it, at
// the screen's density: it tells its owner the density it is shown at, and
// the engine draws the picture for it.

#include <QWidget>
#include <functional>

#include "engine/picture.h"

namespace velmora {

class PictureView : public QWidget {
    Q_OBJECT
  public:
    PictureView(const engine::Picture& picture, QWidget* parent = nullptr);

    // The picture as an image sharing the engine's pixels, with its device
    // pixel ratio.
    QImage image() const;

    // Called when the view is drawn at another density than the picture's.
    void setRatioListener(std::function<void(double ratio)> listener) {
        ratioListener_ = std::move(listener);
    }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const engine::Picture& picture_;
    std::function<void(double ratio)> ratioListener_;
};

}  // namespace velmora
