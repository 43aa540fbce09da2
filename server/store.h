// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the scores are kept: the one interface the routes use. SQLite keeps
// them on one machine; PostgreSQL lets several server instances share them.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "server/score_query.h"

namespace velmora::server {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Store {
public:
    virtual ~Store() = default;

    // Stores `entry`; durable when this returns. Throws StoreError when it
    // could not be stored.
    virtual void add(const ScoreEntry& entry) = 0;

    // Stores all of `entries` or none of them; durable when this returns.
    // Stores that can do so commit them together, with one flush to disk.
    // Throws StoreError when they could not be stored.
    virtual void addAll(const std::vector<ScoreEntry>& entries) {
        for (const ScoreEntry& entry : entries) {
            add(entry);
        }
    }

    // Returns when a post would be stored now; throws StoreError with the
    // reason in one line otherwise. Cheap enough to ask every second.
    virtual void check() { count(); }

    // At most `limit` entries, best score first, newest first among equal
    // scores.
    virtual std::vector<ScoreEntry> best(size_t limit) = 0;

    // The number of scores stored in all.
    virtual uint64_t count() = 0;

    // Changes whenever the stored scores may have changed, also through
    // another server instance sharing the database; cheap enough to ask on
    // every page request.
    virtual uint64_t generation() = 0;
};

}  // namespace velmora::server
