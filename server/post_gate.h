// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a score post must pass before it reaches the store: the sender's
// post rate and the score cap; a post let through carries its poster key.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/http_server.h"
#include "server/post_rate_limiter.h"
#include "server/poster_key.h"
#include "server/score_query.h"

namespace velmora::server {

struct PostPolicy {
    unsigned perMinute = 10;                  // 0: no limit
    std::optional<uint32_t> maxScore;         // higher scores are refused
    std::vector<std::string> trustedProxies;  // whose X-Forwarded-For is believed
};

class PostGate {
  public:
    PostGate(PostPolicy policy, std::string posterSecret);

    // The sender of `request` (see senderOf).
    std::string senderOf(const HttpRequest& request) const;

    // Before the post is read: 429 when the sender is over its rate.
    std::optional<unsigned> refuseEarly(const std::string& sender);

    // Once read: 400 for a score over the cap; otherwise stamps the entry
    // with the sender's poster key.
    std::optional<unsigned> refuseOrStamp(const std::string& sender, ScoreEntry& entry) const;

  private:
    PostPolicy policy_;
    PosterKey key_;
    PostRateLimiter limiter_;
};

}  // namespace velmora::server
