// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Hands a worker thread's result to the user-interface thread. The worker
// waits until the UI thread has run the task, so the task may use UI state
// freely and the worker may rely on it having run when the call returns.

#include <functional>
#include <memory>
#include <thread>

namespace velmora::platform {

class Dispatcher {
public:
    virtual ~Dispatcher() = default;

    // Runs `task` on the UI thread and returns when it has run: true then.
    // Returns false without running it when the dispatcher has been shut
    // down (the program is ending), before or while waiting. Called on the UI
    // thread itself, it runs the task at once.
    virtual bool runOnUiThread(std::function<void()> task) = 0;
};

// The waiting and shutdown rules shared by every dispatcher: a subclass only
// says how to get a function called on the UI thread soon (`post`). The
// object must be created on the UI thread.
class PostingDispatcher : public Dispatcher {
public:
    PostingDispatcher();
    ~PostingDispatcher() override;

    bool runOnUiThread(std::function<void()> task) final;

    // Releases every waiting worker with false and refuses further tasks.
    // Tasks already posted but not yet run will not run. Idempotent.
    void shutdown();

protected:
    // Arranges for `call` to be called once on the UI thread. It may also be
    // dropped unrun (the event loop has ended); the waiter is then released
    // by shutdown().
    virtual void post(std::function<void()> call) = 0;

private:
    struct Call;
    struct Gate;
    std::shared_ptr<Gate> gate_;
    std::thread::id uiThread_;
};

}  // namespace velmora::platform
