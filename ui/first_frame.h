// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up work the first frame does not need, run once the player can see
// the window: right after the window's first paint has been handed to the
// display, as a queued call, so the step never delays that frame.

#include <QWidget>
#include <chrono>
#include <functional>

namespace velmora {

// Runs `step` once on the UI thread: after `window`'s first paint, or after
// `latest` when no paint comes first (a window shown on another desktop or
// never shown), so the step always happens. Call it before showing `window`.
void afterFirstFrame(QWidget* window, std::function<void()> step,
                     std::chrono::milliseconds latest = std::chrono::seconds(1));

}  // namespace velmora
