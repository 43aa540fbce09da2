// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The threads that wait on the store for reads (the list page, the health
// check), apart from the threads that serve connections: a store that hangs
// ties up these and nothing else. The queue is bounded, so a hung store
// makes new work be refused at once instead of piling up.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora::server {

inline constexpr size_t kStoreThreads = 4;
inline constexpr size_t kStoreQueue = 256;

class StorePool {
  public:
    explicit StorePool(size_t threads = kStoreThreads, size_t queueLimit = kStoreQueue);
    // Waits for the work in progress; work still queued is dropped.
    ~StorePool();
    StorePool(const StorePool&) = delete;
    StorePool& operator=(const StorePool&) = delete;

    // Queues `work` to run on one of the pool's threads; false, with nothing
    // queued, when the queue is full. `work` must not throw.
    bool trySubmit(std::function<void()> work);

  private:
    void run();

    size_t queueLimit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace velmora::server
