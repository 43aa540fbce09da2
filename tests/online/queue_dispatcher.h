// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The dispatcher of the tests: tasks wait in a queue until the test thread
// (the "UI thread") pumps them.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/dispatcher.h"

namespace velmora::testing {

class QueueDispatcher final : public platform::PostingDispatcher {
public:
    ~QueueDispatcher() override { shutdown(); }

    // Runs queued tasks until `done` holds or `limit` passes; returns `done()`.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            std::function<void()> call;
            {
                std::unique_lock lock(mutex_);
                if (!arrived_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) {
                    return done();
                }
                call = std::move(queue_.front());
                queue_.pop_front();
            }
            call();
        }
        return true;
    }

    // Runs whatever arrives during `span`.
    void pumpFor(std::chrono::milliseconds span) {
        pumpUntil([] { return false; }, span);
    }

protected:
    void post(std::function<void()> call) override {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(call));
        arrived_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> queue_;
};

}  // namespace velmora::testing
