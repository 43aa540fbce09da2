// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A gravity timer on a virtual clock. Setting the interval it already has
// changes nothing; a different one restarts the period from now, as does
// enabling a disabled timer. advance() moves the clock and fires every tick
// that falls due on the way, in order.

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/game_timer.h"
#include "event_log.h"

namespace velmora::engine::testing {

class VirtualTimer : public GameTimer {
public:
    explicit VirtualTimer(EventLog& log) : log_(log) {}

    void setInterval(uint16_t milliseconds) override;
    void setEnabled(bool enabled) override;

    // The handler called on each tick.
    void onTick(std::function<void()> handler) { handler_ = std::move(handler); }
    // Moves the clock forward by milliseconds, firing due ticks.
    void advance(int64_t milliseconds);
    // Moves the clock to the next tick and fires it; false when disabled.
    bool fireNext();

    int64_t now() const { return now_; }
    uint16_t interval() const { return interval_; }
    bool enabled() const { return enabled_; }
    // Clock times of all ticks fired so far.
    const std::vector<int64_t>& tickTimes() const { return tickTimes_; }

private:
    void fire();

    EventLog& log_;
    std::function<void()> handler_;
    int64_t now_ = 0;
    int64_t due_ = 0;
    uint16_t interval_ = 300;  // the window's design value, never used for play
    bool enabled_ = false;
    std::vector<int64_t> tickTimes_;
};

}  // namespace velmora::engine::testing
