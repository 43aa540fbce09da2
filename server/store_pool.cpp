// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/store_pool.h"

namespace velmora::server {

StorePool::StorePool(size_t threads, size_t queueLimit) : queueLimit_(queueLimit) {
    for (size_t i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { run(); });
    }
}

StorePool::~StorePool() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

bool StorePool::trySubmit(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        if (closing_ || queue_.size() >= queueLimit_) {
            return false;
        }
        queue_.push_back(std::move(work));
    }
    wake_.notify_one();
    return true;
}

void StorePool::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return closing_ || !queue_.empty(); });
        if (closing_) {
            return;
        }
        std::function<void()> work = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        work();
        lock.lock();
    }
}

}  // namespace velmora::server
