// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Brings a score database made by an earlier release up to date in place:
// the poster key of each score, the bans and the server's settings (its
// poster secret). Scores already stored are kept as they are; theirs has no
// poster key.

#include <sqlite3.h>

namespace velmora::server {

// Adds what is missing to the SQLite database of `connection`, whose
// scores table exists. Throws StoreError when it cannot.
void migrateSqliteSchema(sqlite3* connection);

// The same for PostgreSQL, as one transaction to run on a connection (under
// the lock instances take while setting up the tables).
extern const char* const kPgMigration;

}  // namespace velmora::server
