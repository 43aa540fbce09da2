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
