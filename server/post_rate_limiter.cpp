// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/post_rate_limiter.h"

#include <algorithm>

namespace velmora::server {

PostRateLimiter::PostRateLimiter(unsigned perMinute)
    : capacity_(perMinute), perSecond_(perMinute / 60.0) {}

double PostRateLimiter::refilled(const Bucket& bucket, Clock::time_point now) const {
    double seconds = std::chrono::duration<double>(now - bucket.updated).count();
    return std::min(capacity_, bucket.tokens + std::max(0.0, seconds) * perSecond_);
}

bool PostRateLimiter::allow(const std::string& sender, Clock::time_point now) {
    if (capacity_ == 0) {
        return true;
    }
    std::lock_guard lock(mutex_);
    auto found = buckets_.find(sender);
    if (found == buckets_.end()) {
        if (buckets_.size() >= kMaxRateLimitedSenders) {
            forgetFullBuckets(now);
        }
        found = buckets_.emplace(sender, Bucket{capacity_, now}).first;
    }
    Bucket& bucket = found->second;
    bucket.tokens = refilled(bucket, now);
    bucket.updated = now;
    if (bucket.tokens < 1) {
        return false;
    }
    bucket.tokens -= 1;
    return true;
}

size_t PostRateLimiter::sendersRemembered() {
    std::lock_guard lock(mutex_);
    return buckets_.size();
}

void PostRateLimiter::forgetFullBuckets(Clock::time_point now) {
    std::erase_if(buckets_,
                  [&](const auto& entry) { return refilled(entry.second, now) >= capacity_; });
    if (buckets_.size() >= kMaxRateLimitedSenders) {
        buckets_.clear();
    }
}

}  // namespace velmora::server
