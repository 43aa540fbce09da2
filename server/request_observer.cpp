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

HttpReply RequestObserver::handle(const HttpRequest& request) {
    auto started = std::chrono::steady_clock::now();
    Route route = routeOf(request.path);
    HttpReply reply;
    if (route == Route::metrics) {
        reply = metricsReply();
    } else {
        try {
            reply = routes_(request);
        } catch (const std::exception&) {
            reply = textReply(500, "server error\n");
        }
    }
    metrics_.recordRequest(route, reply.status, std::chrono::steady_clock::now() - started);
    if (log_ != nullptr) {
        log(request, reply);
    }
    return reply;
}

HttpReply RequestObserver::metricsReply() {
    HttpReply reply =
        textReply(200, metrics_.render(gauges_()), "text/plain; version=0.0.4; charset=utf-8");
    reply.headers.emplace_back("Cache-Control", "no-store");
    return reply;
}

void RequestObserver::log(const HttpRequest& request, const HttpReply& reply) {
    std::string address = clientAddress(request.peer, request.forwardedFor, trustedProxies_);
    uint64_t bytes = 0;
    if (request.method != "HEAD") {
        bytes = reply.file ? reply.file->size() : reply.body ? reply.body->size() : 0;
    }
    log_->write({address, std::time(nullptr), request.method, request.target, request.version,
                 reply.status, bytes, request.referer, request.userAgent});
}

}  // namespace velmora::server
