// SPDX-License-Identifier: GPL-3.0-or-later
// The PostgreSQL store's costs that the page and post rates depend on: how
// cheap generation() is (asked on every page request), how long another
// instance's post takes to show in it, and a post and a list read. The
// throwaway server runs without fsync, so a post's time here is the store's
// and the database's work, not the disk's; run.sh measures with the disk.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "server/pages.h"
#include "server/pg_store.h"
#include "tests/server/pg_cluster.h"

namespace velmora::server {
namespace {

using testing::sharedPgCluster;

void BM_Generation(benchmark::State& state) {
    PgStore store(sharedPgCluster().createDatabase());
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.generation());
    }
}
BENCHMARK(BM_Generation);

// From the reply to one instance's post until the other instance's
// generation() moves (the page is rendered again on its next request).
void BM_SeenByAnotherInstance(benchmark::State& state) {
    std::string uri = sharedPgCluster().createDatabase();
    PgStore writer(uri);
    PgStore reader(uri);
    uint32_t score = 0;
    for (auto _ : state) {
        uint64_t seen = reader.generation();
        writer.add({"bench", "1/5/09", ++score});
        auto posted = std::chrono::steady_clock::now();
        while (reader.generation() == seen) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - posted).count());
    }
}
BENCHMARK(BM_SeenByAnotherInstance)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_Add(benchmark::State& state) {
    PgStore store(sharedPgCluster().createDatabase());
    uint32_t score = 0;
    for (auto _ : state) {
        store.add({"bench", "1/5/09", ++score});
    }
}
BENCHMARK(BM_Add)->Unit(benchmark::kMicrosecond);

void BM_Best100(benchmark::State& state) {
    PgStore store(sharedPgCluster().createDatabase());
    for (uint32_t i = 0; i < 1000; ++i) {
        store.add({"seed" + std::to_string(i), "1/5/09", i});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.best(kListedScores));
    }
}
BENCHMARK(BM_Best100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velmora::server
