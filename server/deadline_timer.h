// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs small actions at given moments on a thread of its own: the fallback
// replies of requests whose store work did not finish in time. A store that
// hangs cannot hold them back, since it never runs on this thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace velmora::server {

class DeadlineTimer {
  public:
    using Clock = std::chrono::steady_clock;

    DeadlineTimer();
    // Drops the actions not yet due.
    ~DeadlineTimer();
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;

    // Runs `action` at `when` (at once when that has passed). Actions must be
    // quick and must not throw.
    void at(Clock::time_point when, std::function<void()> action);

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::multimap<Clock::time_point, std::function<void()>> due_;
    bool closing_ = false;
    std::thread thread_;
};

}  // namespace velmora::server
