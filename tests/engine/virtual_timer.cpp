// SPDX-License-Identifier: GPL-3.0-or-later
#include "virtual_timer.h"

#include <string>

namespace velmora::engine::testing {

void VirtualTimer::setInterval(uint16_t milliseconds) {
    if (milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    due_ = now_ + interval_;
    log_.push_back("interval " + std::to_string(milliseconds));
}

void VirtualTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    due_ = now_ + interval_;
    log_.push_back(enabled ? "timer on" : "timer off");
}

void VirtualTimer::fire() {
    now_ = due_;
    due_ = now_ + interval_;
    tickTimes_.push_back(now_);
    if (handler_) {
        handler_();
    }
}

void VirtualTimer::advance(int64_t milliseconds) {
    const int64_t until = now_ + milliseconds;
    while (enabled_ && interval_ > 0 && due_ <= until) {
        fire();
    }
    now_ = until;
}

bool VirtualTimer::fireNext() {
    if (!enabled_ || interval_ == 0) {
        return false;
    }
    fire();
    return true;
}

}  // namespace velmora::engine::testing
