// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A consistent copy of a running SQLite score list, made with SQLite's
// online backup interface: the copy is the database as of one moment, with
// every score committed before it, while the server goes on posting.

#include <cstdint>
#include <string>

namespace velmora::server {

// Copies the database at `source` to `destination`, which must not exist
// yet; the copy appears under its name only once whole. Returns the number
// of scores in the copy. Throws StoreError when it cannot.
uint64_t backupSqliteDatabase(const std::string& source, const std::string& destination);

}  // namespace velmora::server
