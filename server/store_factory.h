// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens the store that --db names.

#include <memory>
#include <string>

#include "server/store.h"

namespace velmora::server {

// PostgreSQL for a "postgresql://" or "postgres://" connection URI, otherwise
// the SQLite database file at that path. Throws StoreError when it cannot be
// opened; the message never holds a password.
std::unique_ptr<Store> openStore(const std::string& database);

}  // namespace velmora::server
