// SPDX-License-Identifier: GPL-3.0-or-later
// Posts committed in batches: what waits together is stored together, a
// full queue refuses at once, and a post nobody waits for is not stored.
#include "server/group_committer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "server/store_pool.h"

namespace velmora::server {
namespace {

using namespace std::chrono_literals;

// A store whose writes wait until let go, counting its transactions.
class GatedStore : public Store {
  public:
    void add(const ScoreEntry& entry) override { addAll({entry}); }
    std::vector<bool> addAll(const std::vector<ScoreEntry>& entries) override {
        std::unique_lock lock(mutex);
        ++entered;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
        if (failing) {
            throw StoreError("disk full");
        }
        batches.push_back(entries.size());
        stored.insert(stored.end(), entries.begin(), entries.end());
        return std::vector<bool>(entries.size(), true);
    }
    std::vector<ScoreEntry> best(size_t) override { return {}; }
    uint64_t count() override { return 0; }
    uint64_t generation() override { return 0; }

    void waitEntered(int times) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return entered >= times; });
    }
    void letGo() {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool failing = false;
    int entered = 0;
    std::vector<size_t> batches;
    std::vector<ScoreEntry> stored;
};

ScoreEntry entry(uint32_t score) {
    return {"P" + std::to_string(score), "1/5/09", score};
}

struct Outcomes {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<uint32_t, bool> told;

    GroupCommitter::Outcome of(uint32_t score) {
        return [this, score](PostOutcome outcome) {
            std::lock_guard lock(mutex);
            told[score] = outcome == PostOutcome::stored;
            changed.notify_all();
        };
    }
    void waitFor(size_t count) {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return told.size() >= count; }));
    }
};

TEST(GroupCommitterTest, PostsThatWaitTogetherAreStoredTogetherAndAFullQueueRefuses) {
    GatedStore store;
    Outcomes outcomes;
    {
        GroupCommitter committer(store, 5, 1);
        auto always = [] { return true; };
        ASSERT_TRUE(committer.trySubmit(entry(1), always, outcomes.of(1)));
        store.waitEntered(1);  // the first batch holds the store
        for (uint32_t score = 2; score <= 6; ++score) {
            EXPECT_TRUE(committer.trySubmit(entry(score), always, outcomes.of(score))) << score;
        }
        EXPECT_FALSE(committer.trySubmit(entry(7), always, outcomes.of(7)));  // refused at once
        store.letGo();
        outcomes.waitFor(6);
    }
    EXPECT_EQ(store.batches, (std::vector<size_t>{1, 5}));
    ASSERT_EQ(store.stored.size(), 6u);
    for (uint32_t score = 1; score <= 6; ++score) {
        EXPECT_TRUE(outcomes.told.at(score)) << score;
    }
    EXPECT_EQ(outcomes.told.count(7), 0u);
}

TEST(GroupCommitterTest, AFailedBatchTellsEveryPostAndUnwantedPostsAreNeverStored) {
    GatedStore store;
    Outcomes outcomes;
    GroupCommitter committer(store, kMaxWaitingPosts, 1);
    std::atomic<bool> secondWanted = true;
    ASSERT_TRUE(committer.trySubmit(
        entry(1), [] { return true; }, outcomes.of(1)));
    store.waitEntered(1);
    ASSERT_TRUE(committer.trySubmit(
        entry(2), [&] { return secondWanted.load(); }, outcomes.of(2)));
    ASSERT_TRUE(committer.trySubmit(
        entry(3), [] { return true; }, outcomes.of(3)));
    secondWanted = false;  // its client was answered meanwhile
    {
        std::lock_guard lock(store.mutex);
        store.failing = true;
    }
    store.letGo();
    outcomes.waitFor(3);
    EXPECT_FALSE(outcomes.told.at(1));
    EXPECT_FALSE(outcomes.told.at(2));
    EXPECT_FALSE(outcomes.told.at(3));
    EXPECT_EQ(store.entered, 2);  // the second batch held only the third post
    EXPECT_TRUE(store.stored.empty());
}

TEST(StorePoolTest, AHungStoreTiesUpOnlyThePoolAndItsQueueIsBounded) {
    std::mutex gate;
    std::unique_lock hold(gate);
    std::atomic<int> done = 0;
    {
        StorePool pool(2, 3);
        auto hung = [&] {
            std::lock_guard wait(gate);
            ++done;
        };
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(pool.trySubmit(hung)) << i;  // two running, three queued
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_FALSE(pool.trySubmit(hung));
        hold.unlock();
        for (int i = 0; i < 100 && done < 5; ++i) {
            std::this_thread::sleep_for(10ms);
        }
    }
    EXPECT_EQ(done, 5);
}

}  // namespace
}  // namespace velmora::server
