// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Detached Ed25519 signatures of update installers (libsodium). The program
// starts a downloaded installer only when its signature verifies against the
// public key built into it; velmora-sign makes keys and signatures.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velmora::update {

inline constexpr size_t kPublicKeySize = 32;
inline constexpr size_t kSecretKeySize = 64;
inline constexpr size_t kSignatureSize = 64;
// An installer larger than this is neither signed nor accepted: the whole
// file is held in memory while its signature is worked out.
inline constexpr std::uintmax_t kMaxSignedFile = 256u * 1024 * 1024;

using PublicKey = std::array<unsigned char, kPublicKeySize>;
using SecretKey = std::array<unsigned char, kSecretKeySize>;
using Signature = std::array<unsigned char, kSignatureSize>;

struct KeyPair {
    PublicKey publicKey;
    SecretKey secretKey;
};

// Problems with files and keys; the message names the file.
class SignatureError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A fresh random key pair.
KeyPair makeKeyPair();

// The signature of the file's bytes. Throws SignatureError when the file
// cannot be read or is larger than kMaxSignedFile.
Signature signFile(const std::string& path, const SecretKey& secretKey);

// True only when `signature` is exactly kSignatureSize bytes and is a valid
// signature of the file's bytes under `publicKey`. A missing, unreadable or
// oversized file is false, never an error.
bool verifyFile(const std::string& path, std::string_view signature, const PublicKey& publicKey);

// Lower-case hexadecimal of `bytes`.
std::string toHex(std::span<const unsigned char> bytes);

// Keys from their hexadecimal text (either letter case, blanks and line
// breaks around it ignored); nullopt for anything else, including the wrong
// length.
std::optional<PublicKey> publicKeyFromHex(std::string_view text);
std::optional<SecretKey> secretKeyFromHex(std::string_view text);

// The public key this program was built with (VELMORA_UPDATE_KEY, or the
// build folder's development key).
PublicKey builtInUpdateKey();

}  // namespace velmora::update
