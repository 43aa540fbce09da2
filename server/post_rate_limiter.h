// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How many posts one sender may make: a token bucket per sender, holding
// at most a minute's worth of posts and refilled at the allowed rate. Kept
// by each server instance for itself.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace velmora::server {

// Senders remembered at once. A full bucket is the same as none, so those
// are forgotten first; past this, every bucket is forgotten, which lets a
// burst through rather than let a crowd of addresses lock everyone out.
inline constexpr size_t kMaxRateLimitedSenders = 100'000;

class PostRateLimiter {
  public:
    using Clock = std::chrono::steady_clock;

    // `perMinute` posts a minute with a burst as big; 0 allows every post.
    explicit PostRateLimiter(unsigned perMinute);

    // Takes a token of `sender`'s bucket; false when it is empty.
    bool allow(const std::string& sender, Clock::time_point now = Clock::now());

    size_t sendersRemembered();

  private:
    struct Bucket {
        double tokens;
        Clock::time_point updated;
    };
    double refilled(const Bucket& bucket, Clock::time_point now) const;
    void forgetFullBuckets(Clock::time_point now);

    double capacity_;
    double perSecond_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace velmora::server
