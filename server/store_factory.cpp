// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/store_factory.h"

#include "server/pg_store.h"
#include "server/score_store.h"

namespace velmora::server {

std::unique_ptr<Store> openStore(const std::string& database) {
    if (isPostgresUri(database)) {
        return std::make_unique<PgStore>(database);
    }
    return std::make_unique<ScoreStore>(database);
}

}  // namespace velmora::server
