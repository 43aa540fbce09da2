// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The values a /metrics scrape reads from the running server: connections,
// the SQLite journal's size and the number of scores. None of it waits for
// the store: PostgreSQL's count is asked at most every few seconds, by
// whichever scrape finds it old, and others take the last one.

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "server/http_server.h"
#include "server/metrics.h"
#include "server/store.h"

namespace velmora::server {

inline constexpr auto kScoreCountAge = std::chrono::seconds(5);

class ServerGauges {
  public:
    ServerGauges(std::string database, Store& store);

    // From now on connections are counted from `server`.
    void watch(const HttpServer& server) { server_.store(&server); }

    Metrics::Gauges read();

  private:
    uint64_t scores();

    std::string journal_;  // the SQLite journal's path; empty for PostgreSQL
    Store& store_;
    std::atomic<const HttpServer*> server_{nullptr};
    std::mutex countMutex_;
    std::atomic<uint64_t> count_{0};
    std::chrono::steady_clock::time_point counted_{};
};

}  // namespace velmora::server
