// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/poster_key.h"

#include <sodium.h>

#include <stdexcept>

namespace velmora::server {

PosterKey::PosterKey(std::string secret) : secret_(std::move(secret)) {
    if (secret_.empty()) {
        throw std::invalid_argument("an empty poster secret");
    }
    if (sodium_init() < 0) {
        throw std::runtime_error("libsodium cannot start");
    }
}

std::string PosterKey::of(std::string_view address) const {
    crypto_auth_hmacsha256_state state;
    crypto_auth_hmacsha256_init(&state, reinterpret_cast<const unsigned char*>(secret_.data()),
                                secret_.size());
    crypto_auth_hmacsha256_update(&state, reinterpret_cast<const unsigned char*>(address.data()),
                                  address.size());
    unsigned char hash[crypto_auth_hmacsha256_BYTES];
    crypto_auth_hmacsha256_final(&state, hash);
    char hex[17];
    sodium_bin2hex(hex, sizeof hex, hash, 8);
    return hex;
}

}  // namespace velmora::server
