// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four paths the game asks for, the home page, the installer's
// signature and a health check, answered from the store.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "server/http_server.h"
#include "server/options.h"
#include "server/post_gate.h"
#include "server/store.h"

namespace velmora::server {

class Routes {
public:
    // `store` and `gate` must outlive the routes; without a gate every post
    // goes to the store as it is.
    Routes(const ServerOptions& options, Store& store, PostGate* gate = nullptr);

    // The reply to a GET or HEAD request. Safe to call from several threads.
    HttpReply handle(const HttpRequest& request);

private:
    HttpReply postScore(const HttpRequest& request);
    HttpReply listScores();
    HttpReply health();
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
};

}  // namespace velmora::server
