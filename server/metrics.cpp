// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/metrics.h"

#include <cstdio>

namespace velmora::server {

namespace {

constexpr std::array<std::string_view, kRouteCount> kRouteNames = {
    "post", "list", "version", "installer", "signature", "health", "home", "metrics", "other"};

void appendNumber(std::string& out, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    out += text;
}

void header(std::string& out, std::string_view name, std::string_view type, std::string_view help) {
    out.append("# HELP ").append(name).append(" ").append(help).append("\n");
    out.append("# TYPE ").append(name).append(" ").append(type).append("\n");
}

void single(std::string& out, std::string_view name, std::string_view type, std::string_view help,
            uint64_t value) {
    header(out, name, type, help);
    out.append(name).append(" ").append(std::to_string(value)).append("\n");
}

}  // namespace

Route routeOf(std::string_view path) {
    if (path == "/cgi-bin/velmora.cgi") {
        return Route::post;
    }
    if (path == "/counter/velmora.shtml") {
        return Route::list;
    }
    if (path == "/velmora/velmoraversion.txt") {
        return Route::version;
    }
    if (path == "/velmora/velmorasetup.exe") {
        return Route::installer;
    }
    if (path == "/velmora/velmorasetup.exe.sig") {
        return Route::signature;
    }
    if (path == "/healthz") {
        return Route::health;
    }
    if (path == "/") {
        return Route::home;
    }
    if (path == "/metrics") {
        return Route::metrics;
    }
    return Route::other;
}

std::string_view routeName(Route route) {
    return kRouteNames[static_cast<size_t>(route)];
}

void LatencyHistogram::record(std::chrono::nanoseconds took) {
    double seconds = std::chrono::duration<double>(took).count();
    size_t bucket = 0;
    while (bucket < kBounds.size() && seconds > kBounds[bucket]) {
        ++bucket;
    }
    counts_[bucket].fetch_add(1, std::memory_order_relaxed);
    sumNanoseconds_.fetch_add(static_cast<uint64_t>(took.count() < 0 ? 0 : took.count()),
                              std::memory_order_relaxed);
}

void LatencyHistogram::render(std::string& out, std::string_view name,
                              std::string_view help) const {
    header(out, name, "histogram", help);
    // Buckets are cumulative in the text format.
    uint64_t running = 0;
    for (size_t bucket = 0; bucket <= kBounds.size(); ++bucket) {
        running += counts_[bucket].load(std::memory_order_relaxed);
        out.append(name).append("_bucket{le=\"");
        if (bucket < kBounds.size()) {
            appendNumber(out, kBounds[bucket]);
        } else {
            out += "+Inf";
        }
        out.append("\"} ").append(std::to_string(running)).append("\n");
    }
    out.append(name).append("_sum ");
    appendNumber(out, static_cast<double>(sumNanoseconds_.load(std::memory_order_relaxed)) / 1e9);
    out.append("\n").append(name).append("_count ").append(std::to_string(running)).append("\n");
}

void Metrics::recordRequest(Route route, unsigned status, std::chrono::nanoseconds took) {
    requests_[static_cast<size_t>(route)][status < kStatuses ? status : 0].fetch_add(
        1, std::memory_order_relaxed);
    if (route == Route::post) {
        postLatency_.record(took);
    } else if (route == Route::list) {
        pageLatency_.record(took);
    }
    bool usesStore = route == Route::post || route == Route::list || route == Route::health;
    if (usesStore && (status == 500 || status == 503)) {
        storeErrors_.fetch_add(1, std::memory_order_relaxed);
    }
}

std::string Metrics::render(const Gauges& gauges) const {
    std::string out;
    out.reserve(4096);
    header(out, "velmora_http_requests_total", "counter",
           "Requests answered, by route and status.");
    for (size_t route = 0; route < kRouteCount; ++route) {
        for (unsigned status = 0; status < kStatuses; ++status) {
            if (uint64_t count = requests_[route][status].load(std::memory_order_relaxed);
                count != 0) {
                out.append("velmora_http_requests_total{route=\"").append(kRouteNames[route]);
                out.append("\",status=\"").append(std::to_string(status)).append("\"} ");
                out.append(std::to_string(count)).append("\n");
            }
        }
    }
    postLatency_.render(out, "velmora_post_duration_seconds", "Time to answer a score post.");
    pageLatency_.render(out, "velmora_page_duration_seconds",
                        "Time to answer a request for the list page.");
    single(out, "velmora_store_errors_total", "counter", "Requests the score store failed.",
           storeErrors_.load(std::memory_order_relaxed));
    single(out, "velmora_open_connections", "gauge", "Connections open now.",
           gauges.openConnections);
    single(out, "velmora_refused_connections_total", "counter",
           "Connections refused because the server or the sender held all it may.",
           gauges.refusedConnections);
    single(out, "velmora_journal_bytes", "gauge", "Size of the SQLite write-ahead journal.",
           gauges.journalBytes);
    single(out, "velmora_scores", "gauge", "Scores stored in all.", gauges.scores);
    return out;
}

}  // namespace velmora::server
