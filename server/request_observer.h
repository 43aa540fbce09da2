// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stands in front of the routes: serves /metrics, and counts, times and
// (with an access log) logs every request the routes answer.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "server/access_log.h"
#include "server/http_server.h"
#include "server/metrics.h"

namespace velmora::server {

class RequestObserver {
  public:
    using Routes = std::function<void(const HttpRequest&, Responder)>;
    using GaugeReader = std::function<Metrics::Gauges()>;

    // `log` may be null (no access log); it and `metrics` must outlive this.
    RequestObserver(Routes routes, Metrics& metrics, GaugeReader gauges, AccessLog* log,
                    std::vector<std::string> trustedProxies);

    // Answers through `responder`, at once or later, as the routes do; the
    // request is counted and logged when its reply goes out.
    void handle(const HttpRequest& request, Responder responder);

  private:
    // What the access log keeps of a request, copied: the reply may come
    // after the request's own text is gone.
    struct LoggedRequest {
        std::string address;
        std::string method;
        std::string target;
        std::string version;
        std::string referer;
        std::string userAgent;
    };

    HttpReply metricsReply();
    void finish(Route route, std::chrono::steady_clock::time_point started, const LoggedRequest* request,
                const HttpReply& reply);

    Routes routes_;
    Metrics& metrics_;
    GaugeReader gauges_;
    AccessLog* log_;
    std::vector<std::string> trustedProxies_;
};

}  // namespace velmora::server
