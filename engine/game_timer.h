// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The gravity timer as the engine sees it. The window backs it with a real
// timer; tests use a virtual-time one.

#include <cstdint>

namespace velmora::engine {

class GameTimer {
public:
    virtual ~GameTimer() = default;
    // Setting the interval it already has changes nothing; a different value
    // restarts the period from now.
    virtual void setInterval(uint16_t milliseconds) = 0;
    // Enabling an enabled timer or disabling a disabled one changes nothing;
    // enabling a disabled timer starts a full period from now.
    virtual void setEnabled(bool enabled) = 0;
};

}  // namespace velmora::engine
