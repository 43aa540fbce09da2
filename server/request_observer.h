// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stands in front of the routes: serves /metrics, and counts, times and
// (with an access log) logs every request the routes answer.

#include <functional>
#include <string>
#include <vector>

#include "server/access_log.h"
#include "server/http_server.h"
#include "server/metrics.h"

namespace velmora::server {

class RequestObserver {
  public:
    using Routes = std::function<HttpReply(const HttpRequest&)>;
    using GaugeReader = std::function<Metrics::Gauges()>;

    // `log` may be null (no access log); it and `metrics` must outlive this.
    RequestObserver(Routes routes, Metrics& metrics, GaugeReader gauges, AccessLog* log,
                    std::vector<std::string> trustedProxies);

    HttpReply handle(const HttpRequest& request);

  private:
    HttpReply metricsReply();
    void log(const HttpRequest& request, const HttpReply& reply);

    Routes routes_;
    Metrics& metrics_;
    GaugeReader gauges_;
    AccessLog* log_;
    std::vector<std::string> trustedProxies_;
};

}  // namespace velmora::server
