// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shows one of the engine's pictures as it stands, without copying it.

#include <QWidget>

#include "engine/picture.h"

namespace velmora {

class PictureView : public QWidget {
    Q_OBJECT
  public:
    PictureView(const engine::Picture& picture, QWidget* parent = nullptr);

    // The picture as an image sharing the engine's pixels.
    QImage image() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const engine::Picture& picture_;
};

}  // namespace velmora
