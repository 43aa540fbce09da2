// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/request_observer.h"

#include <chrono>
#include <ctime>

#include "server/client_address.h"

namespace velmora::server {

RequestObserver::RequestObserver(Routes routes, Metrics& metrics, GaugeReader gauges,
                                 AccessLog* log, std::vector<std::string> trustedProxies)
    : routes_(std::move(routes)),
      metrics_(metrics),
      gauges_(std::move(gauges)),
      log_(log),
      trustedProxies_(std::move(trustedProxies)) {}

void RequestObserver::handle(const HttpRequest& request, Responder responder) {
    auto started = std::chrono::steady_clock::now();
    Route route = routeOf(request.path);
    std::shared_ptr<const LoggedRequest> logged;
    if (log_ != nullptr) {
        logged = std::make_shared<const LoggedRequest>(LoggedRequest{
            clientAddress(request.peer, request.forwardedFor, trustedProxies_), std::string(request.method),
            std::string(request.target), std::string(request.version), std::string(request.referer),
            std::string(request.userAgent)});
    }
    if (route == Route::metrics) {
        HttpReply reply = metricsReply();
        finish(route, started, logged.get(), reply);
        responder.send(std::move(reply));
        return;
    }
    // Counted as the reply goes out, however late and from whichever thread.
    Responder observed([this, route, started, logged, responder](HttpReply reply) {
        finish(route, started, logged.get(), reply);
        responder.send(std::move(reply));
    });
    try {
        routes_(request, observed);
    } catch (const std::exception&) {
        observed.send(textReply(500, "server error\n"));
    }
}

HttpReply RequestObserver::metricsReply() {
    HttpReply reply =
        textReply(200, metrics_.render(gauges_()), "text/plain; version=0.0.4; charset=utf-8");
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

void RequestObserver::finish(Route route, std::chrono::steady_clock::time_point started,
                             const LoggedRequest* request, const HttpReply& reply) {
    metrics_.recordRequest(route, reply.status, std::chrono::steady_clock::now() - started);
    if (log_ == nullptr || request == nullptr) {
        return;
    }
    uint64_t bytes = 0;
    if (request->method != "HEAD") {
        bytes = reply.file ? reply.file->size() : reply.body ? reply.body->size() : 0;
    }
    log_->write({request->address, std::time(nullptr), request->method, request->target, request->version,
                 reply.status, bytes, request->referer, request->userAgent});
}

}  // namespace velmora::server
