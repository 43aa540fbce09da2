// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/group_committer.h"

#include <algorithm>
#include <exception>
#include <iterator>

namespace velmora::server {

GroupCommitter::GroupCommitter(Store& store, size_t queueLimit, size_t threads)
    : store_(store), queueLimit_(queueLimit) {
    for (size_t i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { run(); });
    }
}

GroupCommitter::~GroupCommitter() {
    std::vector<Post> left;
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
    left.swap(waiting_);
    for (Post& post : left) {
        post.outcome(PostOutcome::failed);
    }
}

bool GroupCommitter::trySubmit(ScoreEntry entry, Wanted wanted, Outcome outcome) {
    {
        std::lock_guard lock(mutex_);
        if (closing_ || waiting_.size() >= queueLimit_) {
            return false;
        }
        waiting_.push_back({std::move(entry), std::move(wanted), std::move(outcome)});
    }
    wake_.notify_one();
    return true;
}

void GroupCommitter::run() {
    std::vector<Post> batch;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
        if (closing_) {
            return;
        }
        size_t taken = std::min(waiting_.size(), kMaxBatch);
        batch.assign(
            std::make_move_iterator(waiting_.begin()),
            std::make_move_iterator(waiting_.begin() + static_cast<std::ptrdiff_t>(taken)));
        waiting_.erase(waiting_.begin(), waiting_.begin() + static_cast<std::ptrdiff_t>(taken));
        lock.unlock();
        commit(batch);
        batch.clear();
        lock.lock();
    }
}

void GroupCommitter::commit(std::vector<Post>& batch) {
    // A post whose client was already told it failed must not be stored.
    std::erase_if(batch, [](const Post& post) {
        if (post.wanted()) {
            return false;
        }
        post.outcome(PostOutcome::failed);
        return true;
    });
    if (batch.empty()) {
        return;
    }
    std::vector<ScoreEntry> entries;
    entries.reserve(batch.size());
    for (const Post& post : batch) {
        entries.push_back(post.entry);
    }
    std::vector<bool> stored;
    try {
        stored = store_.addAll(entries);
    } catch (const std::exception&) {
        stored.clear();  // the batch is one transaction: none of it is kept
    }
    for (size_t i = 0; i < batch.size(); ++i) {
        if (i >= stored.size()) {
            batch[i].outcome(PostOutcome::failed);
        } else {
            batch[i].outcome(stored[i] ? PostOutcome::stored : PostOutcome::banned);
        }
    }
}

}  // namespace velmora::server
