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
#include "server/store.h"

namespace velmora::server {

class Routes {
public:
    // `store` must outlive the routes.
    Routes(const ServerOptions& options, Store& store);

    // The reply to a GET or HEAD request. Safe to call from several threads.
    HttpReply handle(const HttpRequest& request);

private:
    HttpReply postScore(std::string_view rawQuery);
    HttpReply listScores();
    HttpReply health();
    HttpReply sendFile(const std::string& path, const std::string& missing);

    // The list page, rendered again only when the store's generation moved
    // since the last render, one render at a time.
    std::shared_ptr<const std::string> listPage();

    ServerOptions options_;
    Store& store_;
    struct CachedPage {
        uint64_t generation;
        std::string html;
    };
    std::mutex renderMutex_;
    // Read without the render lock by every page request.
    std::atomic<std::shared_ptr<const CachedPage>> page_;
};

}  // namespace velmora::server
