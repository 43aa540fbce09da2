// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dispatcher.h"

#include <condition_variable>
#include <mutex>
#include <set>

namespace velmora::platform {

// One task handed over by a worker, and whether it has been dealt with.
struct PostingDispatcher::Call {
    std::function<void()> task;
    enum class State { pending, running, done, refused } state = State::pending;
};

// Shared by the dispatcher, every posted call and every waiting worker, so
// that a call that runs late, or a worker that wakes late, never touches a
// destroyed dispatcher.
struct PostingDispatcher::Gate {
    std::mutex mutex;
    std::condition_variable changed;
    bool open = true;
    std::set<std::shared_ptr<Call>> waiting;
};

PostingDispatcher::PostingDispatcher()
    : gate_(std::make_shared<Gate>()), uiThread_(std::this_thread::get_id()) {}

PostingDispatcher::~PostingDispatcher() { shutdown(); }

void PostingDispatcher::shutdown() {
    std::lock_guard lock(gate_->mutex);
    gate_->open = false;
    // Calls run on the UI thread, and so does shutdown: a call running now is
    // the one that shut us down, and it still counts as run.
    for (auto it = gate_->waiting.begin(); it != gate_->waiting.end();) {
        if ((*it)->state == Call::State::pending) {
            (*it)->state = Call::State::refused;
            it = gate_->waiting.erase(it);
        } else {
            ++it;
        }
    }
    gate_->changed.notify_all();
}

bool PostingDispatcher::runOnUiThread(std::function<void()> task) {
    if (std::this_thread::get_id() == uiThread_) {
        task();
        return true;
    }
    auto call = std::make_shared<Call>();
    call->task = std::move(task);
    std::shared_ptr<Gate> gate = gate_;
    std::unique_lock lock(gate->mutex);
    if (!gate->open) {
        return false;
    }
    gate->waiting.insert(call);
    // Posted under the lock, so shutdown() cannot slip in between and the
    // subclass never posts after it has been shut down.
    post([gate, call] {
        {
            std::lock_guard callLock(gate->mutex);
            if (call->state != Call::State::pending) {
                return;
            }
            call->state = Call::State::running;
        }
        // Released even when the task throws, so the worker never hangs.
        struct Release {
            Gate& gate;
            std::shared_ptr<Call> call;
            ~Release() {
                std::lock_guard releaseLock(gate.mutex);
                call->state = Call::State::done;
                gate.waiting.erase(call);
                gate.changed.notify_all();
            }
        } release{*gate, call};
        call->task();
    });
    gate->changed.wait(lock, [&] {
        return call->state == Call::State::done || call->state == Call::State::refused;
    });
    return call->state == Call::State::done;
}

}  // namespace velmora::platform
