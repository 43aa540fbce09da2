// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/server_gauges.h"

#include <sys/stat.h>

#include "server/pg_store.h"

namespace velmora::server {

ServerGauges::ServerGauges(std::string database, Store& store)
    : journal_(isPostgresUri(database) ? std::string() : database + "-wal"), store_(store) {}

Metrics::Gauges ServerGauges::read() {
    Metrics::Gauges gauges;
    if (const HttpServer* server = server_.load()) {
        gauges.openConnections = server->openConnections();
        gauges.refusedConnections = server->refusedConnections();
    }
    struct stat journal {};
    if (!journal_.empty() && ::stat(journal_.c_str(), &journal) == 0) {
        gauges.journalBytes = static_cast<uint64_t>(journal.st_size);
    }
    gauges.scores = scores();
    return gauges;
}

uint64_t ServerGauges::scores() {
    if (!journal_.empty()) {
        return store_.count();  // SQLite keeps it in memory
    }
    std::unique_lock lock(countMutex_, std::try_to_lock);
    auto now = std::chrono::steady_clock::now();
    if (lock.owns_lock() &&
        (counted_ == std::chrono::steady_clock::time_point{} || now - counted_ >= kScoreCountAge)) {
        counted_ = now;
        try {
            count_ = store_.count();
        } catch (const StoreError&) {
            // The last count stands; the error shows in the health check.
        }
    }
    return count_.load();
}

}  // namespace velmora::server
