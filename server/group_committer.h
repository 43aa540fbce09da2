// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Score posts go to the store in batches: whatever arrived while the last
// batch was being committed is committed next, in one transaction with one
// flush to disk, and each post learns its outcome only once its batch is
// durable. One flush then serves many posts, so durable replies stay fast
// under load. Runs on its own thread, apart from the threads that serve
// connections.

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "server/store.h"

namespace velmora::server {

// Posts waiting at most; more are refused at once.
inline constexpr size_t kMaxWaitingPosts = 4096;
// Posts in one transaction at most.
inline constexpr size_t kMaxBatch = 512;
// Batches under way at once: while one waits for the disk's flush, the next
// is committed and flushed beside it.
inline constexpr size_t kCommitThreads = 2;

enum class PostOutcome { stored, banned, failed };

class GroupCommitter {
  public:
    // Told `stored` once the entry is stored durably, `banned` when a ban
    // refused it, `failed` when it could not be stored.
    using Outcome = std::function<void(PostOutcome)>;
    // Told before a batch is stored whether a post is still wanted (its
    // client still waits); posts no longer wanted are dropped unstored.
    using Wanted = std::function<bool()>;

    // `store` must outlive the committer.
    explicit GroupCommitter(Store& store, size_t queueLimit = kMaxWaitingPosts,
                            size_t threads = kCommitThreads);
    // Finishes the batch in progress; posts still waiting are told `failed`.
    ~GroupCommitter();
    GroupCommitter(const GroupCommitter&) = delete;
    GroupCommitter& operator=(const GroupCommitter&) = delete;

    // Queues `entry`; false, with nothing queued, when the queue is full.
    bool trySubmit(ScoreEntry entry, Wanted wanted, Outcome outcome);

  private:
    struct Post {
        ScoreEntry entry;
        Wanted wanted;
        Outcome outcome;
    };

    void run();
    void commit(std::vector<Post>& batch);

    Store& store_;
    size_t queueLimit_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Post> waiting_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace velmora::server
