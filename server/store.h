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

// A post that a ban refuses: its name or its poster key is banned.
class BannedEntry : public StoreError {
public:
    BannedEntry() : StoreError("banned") {}
};

class Store {
public:
    virtual ~Store() = default;

    // Stores `entry`; durable when this returns. Throws BannedEntry when a
    // ban refuses it, StoreError when it could not be stored.
    virtual void add(const ScoreEntry& entry) = 0;

    // Stores every one of `entries` that no ban refuses, all of them or
    // none; durable when this returns. Stores that can do so commit them
    // together, with one flush to disk. Returns, entry by entry, whether it
    // was stored (false: a ban refused it). Throws StoreError when they
    // could not be stored.
    virtual std::vector<bool> addAll(const std::vector<ScoreEntry>& entries) {
        std::vector<bool> stored;
        for (const ScoreEntry& entry : entries) {
            try {
                add(entry);
                stored.push_back(true);
            } catch (const BannedEntry&) {
                stored.push_back(false);
            }
        }
        return stored;
    }

    // Returns when a post would be stored now; throws StoreError with the
    // reason in one line otherwise. Cheap enough to ask every second.
    virtual void check() { count(); }

    // At most `limit` entries, best score first, newest first among equal
    // scores, without those a ban hides.
    virtual std::vector<ScoreEntry> best(size_t limit) = 0;

    // The number of scores stored in all.
    virtual uint64_t count() = 0;

    // Changes whenever the stored scores may have changed, also through
    // another server instance sharing the database; cheap enough to ask on
    // every page request.
    virtual uint64_t generation() = 0;
};

}  // namespace velmora::server
