// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/moderation.h"

#include <sodium.h>

#include "server/pg_store.h"
#include "server/store.h"

namespace velmora::server {

std::unique_ptr<Moderation> openModeration(const std::string& database) {
    if (isPostgresUri(database)) {
        return openPgModeration(database);
    }
    return openSqliteModeration(database);
}

std::string newPosterSecret() {
    if (sodium_init() < 0) {
        throw StoreError("no source of random bytes");
    }
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    char hex[sizeof bytes * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}

}  // namespace velmora::server
