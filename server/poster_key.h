// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The poster key kept with each score instead of the sender's address: a
// keyed hash (HMAC-SHA-256) of the address under a secret kept in the
// database, so the same sender gets the same key on every instance and
// after restarts, while the key tells nothing of the address to whoever
// reads the database without the secret.

#include <string>
#include <string_view>

namespace velmora::server {

class PosterKey {
  public:
    // `secret` as kept in the database; throws std::invalid_argument when empty.
    explicit PosterKey(std::string secret);

    // 16 lowercase hex digits (the first 64 bits of the hash).
    std::string of(std::string_view address) const;

  private:
    std::string secret_;
};

}  // namespace velmora::server
