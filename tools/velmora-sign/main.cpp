// SPDX-License-Identifier: GPL-3.0-or-later
// velmora-sign: makes update keys and signs and checks update installers.
//
//   velmora-sign keygen SECRET-FILE PUBLIC-FILE
//   velmora-sign sign SECRET-FILE FILE          writes FILE.sig
//   velmora-sign verify PUBLIC-FILE FILE [SIG]  SIG defaults to FILE.sig
//
// Key files hold one line of hexadecimal; a signature is 64 raw bytes.
// Exits 0 on success, 1 when a signature does not verify or a file cannot be
// read or written, 2 on wrong usage.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/update_signature.h"
#include "velmora_version.h"

namespace {

using velmora::update::SignatureError;

constexpr const char* kUsage =
    "Usage: velmora-sign keygen SECRET-FILE PUBLIC-FILE\n"
    "  or:  velmora-sign sign SECRET-FILE FILE\n"
    "  or:  velmora-sign verify PUBLIC-FILE FILE [SIGNATURE]\n";

constexpr const char* kHelp =
    "Make update keys, and sign and check Velmora update installers.\n"
    "\n"
    "  keygen SECRET-FILE PUBLIC-FILE\n"
    "                 make a new key pair; the secret key file is readable by\n"
    "                 its owner only and is never overwritten\n"
    "  sign SECRET-FILE FILE\n"
    "                 write the signature of FILE to FILE.sig\n"
    "  verify PUBLIC-FILE FILE [SIGNATURE]\n"
    "                 check FILE against SIGNATURE (default FILE.sig)\n"
    "      --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "Key files hold one line of hexadecimal digits; a signature file holds the\n"
    "64 bytes of a detached Ed25519 signature. The public key is also what the\n"
    "build option VELMORA_UPDATE_KEY takes.\n"
    "\n"
    "Exit status is 0 on success, 1 if a signature does not verify or a file\n"
    "cannot be read or written, and 2 on wrong usage.\n";

// Small files only: keys and signatures.
std::string readSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.resize(1024);
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<size_t>(in.gcount()));
    }
    if (!in && !in.eof()) {
        throw SignatureError("cannot read " + path);
    }
    return text;
}

void writeNew(const std::string& path, const std::string& content, mode_t mode, bool exclusive) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    int fd = ::open(path.c_str(), flags, mode);
    if (fd < 0) {
        throw SignatureError(exclusive && errno == EEXIST ? path + " exists already"
                                                          : "cannot write " + path);
    }
    bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    written = ::fsync(fd) == 0 && written;
    if (::close(fd) != 0 || !written) {
        throw SignatureError("cannot write " + path);
    }
}

int keygen(const std::string& secretPath, const std::string& publicPath) {
    auto pair = velmora::update::makeKeyPair();
    writeNew(secretPath, velmora::update::toHex(pair.secretKey) + "\n", 0600, true);
    writeNew(publicPath, velmora::update::toHex(pair.publicKey) + "\n", 0644, false);
    return 0;
}

int sign(const std::string& secretPath, const std::string& file) {
    auto key = velmora::update::secretKeyFromHex(readSmallFile(secretPath));
    if (!key) {
        throw SignatureError(secretPath + " is not a secret key file");
    }
    auto signature = velmora::update::signFile(file, *key);
    writeNew(file + ".sig", std::string(signature.begin(), signature.end()), 0644, false);
    return 0;
}

int verify(const std::string& publicPath, const std::string& file,
           const std::string& signaturePath) {
    auto key = velmora::update::publicKeyFromHex(readSmallFile(publicPath));
    if (!key) {
        throw SignatureError(publicPath + " is not a public key file");
    }
    if (!velmora::update::verifyFile(file, readSmallFile(signaturePath), *key)) {
        std::cerr << "velmora-sign: " << file << ": BAD signature\n";
        return 1;
    }
    std::cout << file << ": good signature\n";
    return 0;
}

int run(const std::vector<std::string>& words) {
    std::string_view command = words.empty() ? "" : std::string_view(words[0]);
    if (command == "--help") {
        std::cout << kUsage << kHelp;
        return 0;
    }
    if (command == "--version") {
        std::cout << "velmora-sign " << velmora::kVersion << "\n" << velmora::kVersionNotice;
        return 0;
    }
    if (command == "keygen" && words.size() == 3) {
        return keygen(words[1], words[2]);
    }
    if (command == "sign" && words.size() == 3) {
        return sign(words[1], words[2]);
    }
    if (command == "verify" && (words.size() == 3 || words.size() == 4)) {
        return verify(words[1], words[2], words.size() == 4 ? words[3] : words[2] + ".sig");
    }
    std::cerr << kUsage << "Try 'velmora-sign --help' for more information.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "velmora-sign: " << e.what() << "\n";
        return 1;
    }
}
