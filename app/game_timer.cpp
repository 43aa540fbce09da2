// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/game_timer.h"

namespace velmora {

WindowTimer::WindowTimer(QObject* parent, int designInterval) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(designInterval);
    connect(&timer_, &QTimer::timeout, this, &WindowTimer::timeout);
}

void WindowTimer::setInterval(uint16_t milliseconds) {
    // Only a new value restarts the period (QTimer restarts a running timer
    // on every setInterval).
    if (timer_.interval() != milliseconds) {
        timer_.setInterval(milliseconds);
    }
}

void WindowTimer::setEnabled(bool enabled) {
    if (enabled && !timer_.isActive()) {
        timer_.start();
    } else if (!enabled) {
        timer_.stop();
    }
}

}  // namespace velmora
