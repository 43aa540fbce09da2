// SPDX-License-Identifier: GPL-3.0-or-later
// Pins the exact output of both codecs over a fixed set of inputs, so that
// work on their speed cannot change a single output bit unnoticed. The
// expected fingerprints were taken from the codecs as they stood when their
// worked examples and round trips were first known good.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "compression/LZRW1KH.h"
#include "compression/lzh.h"
#include "sample_data.h"

namespace velmora {
namespace {

using test::Bytes;

// FNV-1a, 64 bits: cheap, and any changed byte changes it.
std::uint64_t fingerprint(const Bytes& bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * 0x100000001B3ull;
    }
    return hash ^ bytes.size();
}

// The chunk sequence of mode Fast: every 32768-byte block as a 2-byte
// little-endian length and its chunk, ending with the first short block.
Bytes fastChunks(const Bytes& input) {
    TLZR coder;
    Bytes output;
    Bytes chunk(TLZR::kBlockSize + TLZR::kChunkSpare);
    std::size_t at = 0;
    for (;;) {
        const std::size_t block = std::min(TLZR::kBlockSize, input.size() - at);
        // Each block in its own exact-size buffer, so nothing past it is read.
        const Bytes source(input.begin() + static_cast<std::ptrdiff_t>(at),
                           input.begin() + static_cast<std::ptrdiff_t>(at + block));
        const std::size_t size = coder.compress(source, chunk);
        output.push_back(static_cast<std::uint8_t>(size));
        output.push_back(static_cast<std::uint8_t>(size >> 8));
        output.insert(output.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(size));
        at += block;
        if (block < TLZR::kBlockSize) {
            return output;
        }
    }
}

Bytes goodStream(const Bytes& input) {
    TLZH coder;
    Bytes output;
    std::size_t at = 0;
    coder.pack(
        [&](std::uint8_t* to, std::size_t n) {
            const std::size_t given = std::min(n, input.size() - at);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(at), given, to);
            at += given;
            return given;
        },
        [&](const std::uint8_t* from, std::size_t n) { output.insert(output.end(), from, from + n); });
    return output;
}

enum class Kind { Text, Runs, Random, Spaces };

Bytes inputOf(Kind kind, std::size_t size) {
    switch (kind) {
        case Kind::Text:
            return test::wordText(size, 7);
        case Kind::Runs:
            return test::runsOfBytes(size, 8);
        case Kind::Random:
            return test::randomBytes(size, 9);
        case Kind::Spaces:
            break;
    }
    return Bytes(size, ' ');
}

struct Pinned {
    Kind kind;
    std::size_t size;
    std::uint64_t fast;
    std::uint64_t good;
};

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016llXull", static_cast<unsigned long long>(value));
    return text;
}

class OutputPin : public ::testing::TestWithParam<Pinned> {};

TEST_P(OutputPin, BothModesGiveTheirPinnedBytes) {
    const Pinned& pin = GetParam();
    const Bytes input = inputOf(pin.kind, pin.size);
    EXPECT_EQ(hex(fingerprint(fastChunks(input))), hex(pin.fast)) << "mode Fast";
    EXPECT_EQ(hex(fingerprint(goodStream(input))), hex(pin.good)) << "mode Good";
}

// clang-format off
const Pinned kPinned[] = {
    {Kind::Text, 1, 0x8ECE3A904BABD91Full, 0xAF63BD4C8601B7DEull},
    {Kind::Text, 59, 0x7437A693742A1991ull, 0xC10BC22A8B462C1Eull},
    {Kind::Text, 60, 0x7437A793742A1B6Eull, 0xC9A0D92A901CD7C9ull},
    {Kind::Text, 61, 0x7437B093742A2A93ull, 0x479E402A467398C4ull},
    {Kind::Text, 4095, 0x54A1DDC8D00AB2FCull, 0xEF40AABAE1B17845ull},
    {Kind::Text, 4096, 0xD8379F3983862AF3ull, 0x450CDEC0462C4526ull},
    {Kind::Text, 32767, 0xF544D27E463DA254ull, 0x6C3F0E73386ADBD3ull},
    {Kind::Text, 32768, 0x0E7E75058EA73F6Full, 0x79FFEE733F322FD8ull},
    {Kind::Text, 32769, 0x6498D65860585FBCull, 0x6B40567337926576ull},
    {Kind::Text, 100000, 0x891A927523C68A54ull, 0x6E42FC16F94DBC6Aull},
    {Kind::Runs, 1, 0x8ECDCE904BAB2193ull, 0x0AB83C07B7100859ull},
    {Kind::Runs, 59, 0x8C791015F9580F8Cull, 0x176A09B0333972CCull},
    {Kind::Runs, 60, 0x8C6EDE15F94F6603ull, 0x2FB37AB0407FDA4Dull},
    {Kind::Runs, 61, 0x8C724415F952493Aull, 0x2709FFB03B97DB9Aull},
    {Kind::Runs, 4095, 0x46233E11F202FE45ull, 0xA3EBE02B6483854Aull},
    {Kind::Runs, 4096, 0x461FDA11F2001E88ull, 0xA3B5802B645552DAull},
    {Kind::Runs, 32767, 0x6245B65C6962E333ull, 0xA690814E87EB50CCull},
    {Kind::Runs, 32768, 0x5DCB733D24835500ull, 0xA4DD814E8679BF4Cull},
    {Kind::Runs, 32769, 0xC09414FE0AE7E832ull, 0x9DE7064E83035197ull},
    {Kind::Runs, 100000, 0x2C0909C75F7B46D3ull, 0x591E9B425730BF8Eull},
    {Kind::Random, 1, 0x8ECE34904BABCEEDull, 0xAF63C74C8601C8DCull},
    {Kind::Random, 59, 0x1F9115B2526AA3FFull, 0xED984528F3B1E1F8ull},
    {Kind::Random, 60, 0xBA8FB95540AE2E95ull, 0x6BB0C7961751EB32ull},
    {Kind::Random, 61, 0x9586E74D95BE4647ull, 0x4F5BE809A03E2857ull},
    {Kind::Random, 4095, 0x2406014131D801AEull, 0xAB25F64BD508D564ull},
    {Kind::Random, 4096, 0x077998883CAA57F7ull, 0xDA798CDAFE1239C2ull},
    {Kind::Random, 32767, 0x2EC3B3122CBC11C1ull, 0xFE2CB2DBEB300859ull},
    {Kind::Random, 32768, 0x3F07F179CCE3D83Full, 0x163F9EB0A3441A8Cull},
    {Kind::Random, 32769, 0x214E2ADE269172D3ull, 0x127139256D585A75ull},
    {Kind::Random, 100000, 0x2C58242DB1AA27A0ull, 0x1BAC8B91697B3013ull},
    {Kind::Spaces, 1, 0x8ECDEE904BAB57F3ull, 0x0AEE9C07B73E3AE9ull},
    {Kind::Spaces, 59, 0x8C78F015F957D92Cull, 0x35B1E81C065EEBFDull},
    {Kind::Spaces, 60, 0x8C6EFE15F94F9C63ull, 0x2D7CF91C01DACBC6ull},
    {Kind::Spaces, 61, 0x8C726415F9527F9Aull, 0x26A4CD97273314A8ull},
    {Kind::Spaces, 4095, 0xEAD355162E85AD41ull, 0x43B8C875F428F623ull},
    {Kind::Spaces, 4096, 0x5D3A6A2E8D48D8D1ull, 0x44258875F4855B03ull},
    {Kind::Spaces, 32767, 0xB8EEE125430D22EFull, 0xEFA9C59F90A84008ull},
    {Kind::Spaces, 32768, 0xEE6DA5B752204F4Eull, 0xEF8E959F90912B40ull},
    {Kind::Spaces, 32769, 0x6149D767876253A0ull, 0xEF73659F907A1298ull},
    {Kind::Spaces, 100000, 0x553D3BD20C4C9F20ull, 0xDD1E08851981A387ull},
    {Kind::Text, 400000, 0x78BEA2CE70F2A719ull, 0x88A83C37657FEE64ull},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Inputs, OutputPin, ::testing::ValuesIn(kPinned));

}  // namespace
}  // namespace velmora
