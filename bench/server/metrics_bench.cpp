// SPDX-License-Identifier: GPL-3.0-or-later
// What the metrics cost: recording a request (on every request) and a
// whole /metrics scrape with every route and status in use. Targets: a
// record well under a microsecond, a scrape in tens of microseconds.
#include <benchmark/benchmark.h>

#include "server/metrics.h"

namespace {

using velmora::server::Metrics;
using velmora::server::Route;

void BM_RecordRequest(benchmark::State& state) {
    Metrics metrics;
    auto took = std::chrono::microseconds(300);
    for (auto _ : state) {
        metrics.recordRequest(Route::post, 200, took);
    }
}
BENCHMARK(BM_RecordRequest)->Threads(1)->Threads(2);

void BM_Scrape(benchmark::State& state) {
    Metrics metrics;
    for (unsigned route = 0; route < velmora::server::kRouteCount; ++route) {
        for (unsigned status : {200u, 400u, 404u, 405u, 413u, 429u, 500u, 503u}) {
            metrics.recordRequest(static_cast<Route>(route), status,
                                  std::chrono::milliseconds(status % 7));
        }
    }
    for (auto _ : state) {
        std::string text = metrics.render({100, 3, 1 << 20, 123456});
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_Scrape);

}  // namespace
