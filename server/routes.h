#pragma once
// The four paths the game asks for, and the home page, on an httplib server.

#include <httplib.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "server/options.h"
#include "server/store.h"

namespace velmora::server {

// Connections served at the same time (one thread each).
inline constexpr size_t kServerThreads = 32;

class Routes {
public:
    // `store` must outlive the routes.
    Routes(const ServerOptions& options, Store& store);

    // Installs the handlers and the limits (request size, time-outs,
    // thread pool) on `server`.
    void install(httplib::Server& server);

private:
    void postScore(const httplib::Request& request, httplib::Response& response);
    void listScores(httplib::Response& response);
    void sendInstaller(httplib::Response& response);
    void sendSignature(httplib::Response& response);

    // The list page, rendered again only after a post changed the scores.
    std::shared_ptr<const std::string> listPage();

    ServerOptions options_;
    Store& store_;
    std::mutex pageMutex_;
    std::shared_ptr<const std::string> page_;
    uint64_t pageGeneration_ = 0;
};

}  // namespace velmora::server
