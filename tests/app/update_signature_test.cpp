// SPDX-License-Identifier: GPL-3.0-or-later
// Installer signatures: what verifies and what does not, key texts, and the
// key this build accepts matching the key its installers are signed with.

#include "app/update_signature.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/platform/temp_folder.h"

namespace velmora::update {
namespace {

using testing::readFile;
using testing::writeFile;

std::string asText(const Signature& signature) {
    return std::string(signature.begin(), signature.end());
}

TEST(UpdateSignatureTest, OnlyTheUntouchedFileWithItsOwnKeysSignatureVerifies) {
    testing::TempFolder folder;
    std::string file = folder.file("velmorasetup.exe");
    std::string content = "#!/bin/sh\n" + std::string(100000, '\xa5') + "payload end";
    writeFile(file, content);
    KeyPair keys = makeKeyPair();
    KeyPair stranger = makeKeyPair();
    std::string signature = asText(signFile(file, keys.secretKey));
    ASSERT_TRUE(verifyFile(file, signature, keys.publicKey));

    std::string flipped = signature;
    flipped[10] = static_cast<char>(flipped[10] ^ 1);
    struct Case {
        const char* what;
        std::string signature;
        const PublicKey& key;
    };
    const Case refused[] = {
        {"another key", signature, stranger.publicKey},
        {"another key's signature", asText(signFile(file, stranger.secretKey)), keys.publicKey},
        {"a changed bit of the signature", flipped, keys.publicKey},
        {"one byte short", signature.substr(0, 63), keys.publicKey},
        {"one byte extra", signature + "x", keys.publicKey},
        {"empty", "", keys.publicKey},
        {"an all-zero key", signature, PublicKey{}},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(verifyFile(file, c.signature, c.key));
    }

    // The file changed after signing: one byte more, one less, one other.
    const std::string changed[] = {content + "\n", content.substr(0, content.size() - 1),
                                   "#!/bin/sh\nrm" + content.substr(12)};
    for (const std::string& text : changed) {
        writeFile(file, text);
        EXPECT_FALSE(verifyFile(file, signature, keys.publicKey));
    }
    EXPECT_FALSE(verifyFile(folder.file("missing"), signature, keys.publicKey));
    EXPECT_FALSE(verifyFile(folder.path().string(), signature, keys.publicKey));
}

TEST(UpdateSignatureTest, SigningAFileThatCannotBeReadFails) {
    testing::TempFolder folder;
    KeyPair keys = makeKeyPair();
    EXPECT_THROW(signFile(folder.file("missing"), keys.secretKey), SignatureError);
    EXPECT_THROW(signFile(folder.path().string(), keys.secretKey), SignatureError);
    // An empty file is a file like any other.
    writeFile(folder.file("empty"), "");
    EXPECT_TRUE(verifyFile(folder.file("empty"),
                           asText(signFile(folder.file("empty"), keys.secretKey)), keys.publicKey));
}

TEST(UpdateSignatureTest, KeysReadBackFromTheirHexText) {
    KeyPair keys = makeKeyPair();
    std::string publicHex = toHex(keys.publicKey);
    std::string secretHex = toHex(keys.secretKey);
    ASSERT_EQ(publicHex.size(), 64u);
    EXPECT_EQ(publicHex.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(publicKeyFromHex(publicHex), keys.publicKey);
    EXPECT_EQ(secretKeyFromHex(secretHex), keys.secretKey);

    std::string upper = publicHex;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(publicKeyFromHex(upper), keys.publicKey);
    EXPECT_EQ(publicKeyFromHex("  " + publicHex + "\r\n"), keys.publicKey);

    const std::string refused[] = {
        "",
        "\n",
        publicHex.substr(1),
        publicHex + "0",
        "g" + publicHex.substr(1),
        publicHex.substr(0, 32) + " " + publicHex.substr(32, 31),
        secretHex,
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(publicKeyFromHex(text).has_value());
    }
    EXPECT_FALSE(secretKeyFromHex(publicHex).has_value());
}

// The installer target signs with the build's secret key; the program must
// accept exactly what it signs.
TEST(UpdateSignatureTest, TheBuildsSigningKeyMatchesTheKeyBuiltIn) {
    std::string keyFile = VELMORA_TEST_SIGNING_KEY;
    if (keyFile.empty()) {
        GTEST_SKIP() << "configured with a release key and no secret key file";
    }
    auto secret = secretKeyFromHex(readFile(keyFile));
    ASSERT_TRUE(secret.has_value()) << keyFile;
    testing::TempFolder folder;
    writeFile(folder.file("installer"), "an installer");
    Signature signature = signFile(folder.file("installer"), *secret);
    EXPECT_TRUE(verifyFile(folder.file("installer"), asText(signature), builtInUpdateKey()));
}

}  // namespace
}  // namespace velmora::update
