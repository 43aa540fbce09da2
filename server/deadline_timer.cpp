// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/deadline_timer.h"

namespace velmora::server {

DeadlineTimer::DeadlineTimer() : thread_([this] { run(); }) {}

DeadlineTimer::~DeadlineTimer() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void DeadlineTimer::at(Clock::time_point when, std::function<void()> action) {
    bool earliest = false;
    {
        std::lock_guard lock(mutex_);
        earliest = due_.empty() || when < due_.begin()->first;
        due_.emplace(when, std::move(action));
    }
    if (earliest) {
        wake_.notify_one();
    }
}

void DeadlineTimer::run() {
    std::unique_lock lock(mutex_);
    while (!closing_) {
        if (due_.empty()) {
            wake_.wait(lock);
            continue;
        }
        auto first = due_.begin();
        if (first->first > Clock::now()) {
            wake_.wait_until(lock, first->first);
            continue;
        }
        std::function<void()> action = std::move(first->second);
        due_.erase(first);
        lock.unlock();
        action();
        lock.lock();
    }
}

}  // namespace velmora::server
