// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four paths the game asks for, the home page, the installer's
// signature and a health check, answered from the store. Store work runs
// apart from the calling thread, each kind within its deadline, so a store
// that hangs delays only the replies that need it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "server/deadline_timer.h"
#include "server/group_committer.h"
#include "server/http_server.h"
#include "server/options.h"
#include "server/post_gate.h"
#include "server/store.h"
#include "server/store_pool.h"

namespace velmora::server {

// How long a post waits for the store before it is answered 503.
inline constexpr auto kPostDeadline = std::chrono::seconds(3);
// How long the health check waits for the store.
inline constexpr auto kHealthDeadline = std::chrono::seconds(1);
// How long a page request waits for a new rendering before it gets the
// last one: a rendering takes milliseconds, so a store that takes longer is
// stuck, and the page must still come as fast as ever.
inline constexpr auto kRenderDeadline = std::chrono::milliseconds(500);

class Routes {
public:
    // `store` and `gate` must outlive the routes; without a gate every post
    // goes to the store as it is.
    Routes(const ServerOptions& options, Store& store, PostGate* gate = nullptr);

    // Answers a GET or HEAD request through `responder`, at once or, for
    // what needs the store, later from another thread. Safe to call from
    // several threads.
    void handle(const HttpRequest& request, Responder responder);

private:
    void postScore(const HttpRequest& request, const Responder& responder);
    void listScores(const Responder& responder);
    void health(const Responder& responder);
    // Answers `fallback` unless answered by `deadline` from now.
    void answerLate(const Responder& responder, std::chrono::milliseconds deadline, HttpReply fallback);
    HttpReply sendFile(const std::string& path, const std::string& missing);

    // The list page, rendered again only when the store's generation moved
    // since the last render, one render at a time.
    std::shared_ptr<const std::string> listPage();

    ServerOptions options_;
    Store& store_;
    PostGate* gate_;
    struct CachedPage {
        uint64_t generation;
        std::string html;
    };
    std::mutex renderMutex_;
    // Read without the render lock by every page request.
    std::atomic<std::shared_ptr<const CachedPage>> page_;

    // Declared last: their threads stop first, while the rest still stands.
    DeadlineTimer timer_;
    StorePool pool_;
    GroupCommitter committer_;
};

}  // namespace velmora::server
