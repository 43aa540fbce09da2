// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The way back to a waiting client: a request may be answered at once or
// later from another thread (after the store has done its part). The first
// reply wins; whoever comes later (a store that answers after its deadline
// was answered for it) is ignored.

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

namespace velmora::server {

struct HttpReply;

class Responder {
  public:
    explicit Responder(std::function<void(HttpReply)> deliver)
        : state_(std::make_shared<State>(std::move(deliver))) {}

    // Delivers `reply` unless a reply was delivered before; true when this
    // one went out.
    bool send(HttpReply reply) const;

    bool answered() const { return state_->answered.load(std::memory_order_acquire); }

  private:
    struct State {
        explicit State(std::function<void(HttpReply)> deliver) : deliver(std::move(deliver)) {}
        std::atomic<bool> answered{false};
        std::function<void(HttpReply)> deliver;
    };
    std::shared_ptr<State> state_;
};

}  // namespace velmora::server
