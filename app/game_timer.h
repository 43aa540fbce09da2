// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window timer behind the engine's gravity and flash steps.

#include <QObject>
#include <QTimer>

#include "engine/game_timer.h"

namespace velmora {

class WindowTimer : public QObject, public engine::GameTimer {
    Q_OBJECT
  public:
    // The interval stored with the window's design; a game always sets its
    // own before enabling the timer.
    explicit WindowTimer(QObject* parent = nullptr, int designInterval = 300);

    void setInterval(uint16_t milliseconds) override;
    void setEnabled(bool enabled) override;

    int interval() const { return timer_.interval(); }
    bool isEnabled() const { return timer_.isActive(); }

  signals:
    void timeout();

  private:
    QTimer timer_;
};

}  // namespace velmora
