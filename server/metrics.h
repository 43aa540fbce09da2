// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the server has done, for a Prometheus scrape of /metrics: counters
// and histograms kept in atomics, so that recording costs a few atomic
// additions and a scrape takes no lock at all.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::server {

enum class Route { post, list, version, installer, signature, health, home, metrics, other };
inline constexpr size_t kRouteCount = 9;

// The route of a (decoded) request path.
Route routeOf(std::string_view path);
std::string_view routeName(Route route);

// Request durations, counted into buckets by upper bound.
class LatencyHistogram {
  public:
    static constexpr std::array<double, 12> kBounds = {0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025,
                                                       0.05,   0.1,   0.25,   0.5,   1,    5};
    void record(std::chrono::nanoseconds took);
    // The histogram's lines for `name` in the text format.
    void render(std::string& out, std::string_view name, std::string_view help) const;

  private:
    std::array<std::atomic<uint64_t>, kBounds.size() + 1> counts_{};  // the last: above every bound
    std::atomic<uint64_t> sumNanoseconds_{0};
};

class Metrics {
  public:
    // Values read at scrape time from elsewhere.
    struct Gauges {
        uint64_t openConnections = 0;
        uint64_t refusedConnections = 0;
        uint64_t journalBytes = 0;
        uint64_t scores = 0;
    };

    // One request answered by the routes. A 500 or 503 from a route that
    // uses the store counts as a store error.
    void recordRequest(Route route, unsigned status, std::chrono::nanoseconds took);

    std::string render(const Gauges& gauges) const;

  private:
    static constexpr unsigned kStatuses = 600;
    std::array<std::array<std::atomic<uint64_t>, kStatuses>, kRouteCount> requests_{};
    LatencyHistogram postLatency_;
    LatencyHistogram pageLatency_;
    std::atomic<uint64_t> storeErrors_{0};
};

}  // namespace velmora::server
