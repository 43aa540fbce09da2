// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/update_signature.h"

#include <sodium.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace velmora::update {

namespace {

void initialiseSodium() {
    // Safe to call again and from any thread; fails only without a random source.
    if (sodium_init() < 0) {
        throw SignatureError("cannot initialise the signature library");
    }
}

// The file's bytes, or nullopt when it cannot be read whole or is too large.
std::optional<std::vector<unsigned char>> readBounded(const std::string& path) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxSignedFile) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    if (!in ||
        !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        return std::nullopt;
    }
    // A file that grew while it was read is not what was measured.
    if (in.peek() != std::char_traits<char>::eof()) {
        return std::nullopt;
    }
    return bytes;
}

template <size_t N>
std::optional<std::array<unsigned char, N>> fromHex(std::string_view text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    size_t last = text.find_last_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text = text.substr(first, last - first + 1);
    if (text.size() != 2 * N) {
        return std::nullopt;
    }
    std::array<unsigned char, N> bytes{};
    size_t length = 0;
    if (sodium_hex2bin(bytes.data(), N, text.data(), text.size(), nullptr, &length, nullptr) != 0 ||
        length != N) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

KeyPair makeKeyPair() {
    initialiseSodium();
    KeyPair pair{};
    crypto_sign_keypair(pair.publicKey.data(), pair.secretKey.data());
    return pair;
}

Signature signFile(const std::string& path, const SecretKey& secretKey) {
    initialiseSodium();
    auto bytes = readBounded(path);
    if (!bytes) {
        throw SignatureError("cannot read " + path);
    }
    Signature signature{};
    crypto_sign_detached(signature.data(), nullptr, bytes->data(), bytes->size(), secretKey.data());
    return signature;
}

bool verifyFile(const std::string& path, std::string_view signature, const PublicKey& publicKey) {
    if (signature.size() != kSignatureSize) {
        return false;
    }
    initialiseSodium();
    auto bytes = readBounded(path);
    return bytes &&
           crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature.data()),
                                       bytes->data(), bytes->size(), publicKey.data()) == 0;
}

std::string toHex(std::span<const unsigned char> bytes) {
    std::string text(bytes.size() * 2 + 1, '\0');
    sodium_bin2hex(text.data(), text.size(), bytes.data(), bytes.size());
    text.pop_back();
    return text;
}

std::optional<PublicKey> publicKeyFromHex(std::string_view text) {
    return fromHex<kPublicKeySize>(text);
}

std::optional<SecretKey> secretKeyFromHex(std::string_view text) {
    return fromHex<kSecretKeySize>(text);
}

}  // namespace velmora::update
