// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/post_gate.h"

#include "server/client_address.h"

namespace velmora::server {

PostGate::PostGate(PostPolicy policy, std::string posterSecret)
    : policy_(std::move(policy)), key_(std::move(posterSecret)), limiter_(policy_.perMinute) {}

std::string PostGate::senderOf(const HttpRequest& request) const {
    return velmora::server::senderOf(
        clientAddress(request.peer, request.forwardedFor, policy_.trustedProxies));
}

std::optional<unsigned> PostGate::refuseEarly(const std::string& sender) {
    if (!limiter_.allow(sender)) {
        return 429;
    }
    return std::nullopt;
}

std::optional<unsigned> PostGate::refuseOrStamp(const std::string& sender,
                                                ScoreEntry& entry) const {
    if (policy_.maxScore && entry.score > *policy_.maxScore) {
        return 400;
    }
    entry.poster = key_.of(sender);
    return std::nullopt;
}

}  // namespace velmora::server
