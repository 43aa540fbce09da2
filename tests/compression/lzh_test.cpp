// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/lzh.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sample_data.h"

namespace velmora {
namespace {

using test::Bytes;
using test::bytesOf;

Bytes pack(const Bytes& input, std::size_t read_block = 4096) {
    std::size_t at = 0;
    Bytes output;
    TLZH coder;
    const auto count = coder.pack(
        [&](std::uint8_t* to, std::size_t n) {
            const std::size_t given = std::min({n, read_block, input.size() - at});
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(at), given, to);
            at += given;
            return given;
        },
        [&](const std::uint8_t* from, std::size_t n) {
            EXPECT_GT(n, 0u);
            output.insert(output.end(), from, from + n);
        });
    EXPECT_EQ(count, input.size());
    return output;
}

struct Unpacked {
    Bytes bytes;
    std::uint64_t coded = 0;
    std::size_t bytes_read = 0;
};

Unpacked unpack(const Bytes& stream, std::uint64_t size) {
    Unpacked result;
    TLZH coder;
    result.coded = coder.unpack(
        size,
        [&](std::uint8_t* to, std::size_t n) {
            const std::size_t given = std::min(n, stream.size() - result.bytes_read);
            std::copy_n(stream.begin() + static_cast<std::ptrdiff_t>(result.bytes_read), given, to);
            result.bytes_read += given;
            return given;
        },
        [&](const std::uint8_t* from, std::size_t n) { result.bytes.insert(result.bytes.end(), from, from + n); });
    return result;
}

TEST(LzhPack, WorkedExamplesGiveTheirExactBytes) {
    EXPECT_EQ(pack(bytesOf("abc")), (Bytes{0xF6, 0xFB, 0xBD, 0xE0}));
    EXPECT_EQ(pack(bytesOf("aaaaaaaaaa")), (Bytes{0xF6, 0xC9, 0x00, 0x00}));
    const std::string tally = test::freshTallyText();
    ASSERT_EQ(tally.size(), 279u);
    const Bytes packed = pack(bytesOf(tally));
    EXPECT_EQ(packed.size(), 32u);
    EXPECT_EQ(unpack(packed, tally.size()).bytes, bytesOf(tally));
}

TEST(LzhPack, EmptyInputGivesNoBytesAndUnpackingNothingReadsNothing) {
    EXPECT_TRUE(pack({}).empty());
    const Unpacked none = unpack(Bytes{0xFF, 0xFF}, 0);
    EXPECT_TRUE(none.bytes.empty());
    EXPECT_EQ(none.bytes_read, 0u);
}

TEST(LzhPack, LeadingSpacesMatchTheSpaceFilledRing) {
    // 60 spaces are one match from the first byte on, so the stream is far
    // shorter than one literal per byte would allow.
    const Bytes spaces(60, ' ');
    const Bytes packed = pack(spaces);
    EXPECT_LE(packed.size(), 3u);
    EXPECT_EQ(unpack(packed, spaces.size()).bytes, spaces);
}

TEST(LzhPack, OutputDoesNotDependOnHowTheInputIsDelivered) {
    const Bytes input = test::wordText(20000, 7);
    EXPECT_EQ(pack(input, 1), pack(input, 4096));
    EXPECT_EQ(pack(input, 333), pack(input));
}

struct RoundTripCase {
    const char* name;
    Bytes input;
};

class LzhRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(LzhRoundTrip, UnpackRestoresTheInput) {
    const Bytes& input = GetParam().input;
    const Bytes packed = pack(input);
    const Unpacked result = unpack(packed, input.size());
    EXPECT_EQ(result.coded, input.size());
    EXPECT_TRUE(result.bytes == input);
}

std::vector<RoundTripCase> roundTripCases() {
    std::vector<RoundTripCase> cases;
    for (std::size_t size : {1, 2, 59, 60, 61, 4095, 4096, 4097, 70000}) {
        cases.push_back({"words", test::wordText(size, static_cast<unsigned>(size))});
        cases.push_back({"random", test::randomBytes(size, static_cast<unsigned>(size))});
    }
    cases.push_back({"runs", test::runsOfBytes(300000, 3)});
    // Enough of one symbol to fill the root's count several times over, so
    // the tree is rebuilt, with a skewed mix that keeps codes long.
    Bytes skewed = test::randomBytes(200000, 11);
    for (std::size_t i = 0; i < skewed.size(); ++i) {
        skewed[i] = i % 97 == 0 ? skewed[i] : static_cast<std::uint8_t>(skewed[i] & 1);
    }
    cases.push_back({"skewed", skewed});
    cases.push_back({"zeros", Bytes(100000, 0)});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Inputs, LzhRoundTrip, ::testing::ValuesIn(roundTripCases()));

TEST(LzhUnpack, MissingBytesReadAsZeroBitsButPaddingAloneProducesLittle) {
    const Bytes input = test::wordText(50000, 2);
    const Bytes packed = pack(input);
    const Unpacked whole = unpack(packed, input.size());
    ASSERT_EQ(whole.bytes, input);
    Bytes padded = packed;
    padded.resize(packed.size() + 64, 0);
    EXPECT_EQ(unpack(padded, input.size()).bytes, input);
    // Cut a few bytes short, a stream still decodes as if padded with zero
    // bytes: what is missing produces less than the padding allowance.
    for (std::size_t missing : {1, 2, 5}) {
        const Bytes cut(packed.begin(), packed.end() - static_cast<std::ptrdiff_t>(missing));
        Bytes cut_padded = cut;
        cut_padded.resize(packed.size() + 64, 0);
        const Unpacked from_cut = unpack(cut, input.size());
        EXPECT_EQ(from_cut.bytes, unpack(cut_padded, input.size()).bytes) << missing;
        EXPECT_EQ(from_cut.coded, unpack(cut_padded, input.size()).coded) << missing;
        EXPECT_GE(from_cut.coded, input.size()) << missing;
    }
    // Cut in half, the zero bits would have to produce some 25 KB: decoding
    // stops a few KiB past the input's end and reports fewer bytes than
    // asked for.
    const Bytes half(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
    const Unpacked from_half = unpack(half, input.size());
    EXPECT_LT(from_half.coded, input.size());
    EXPECT_EQ(from_half.bytes.size(), from_half.coded);
    // With nothing, or next to nothing, to read, a large size gives no more
    // than the allowance (and a match that runs past it).
    for (const Bytes& stream : {Bytes{}, Bytes{0xF6, 0xC9}, Bytes{0xFF}}) {
        const Unpacked result = unpack(stream, std::uint64_t{1} << 24);
        EXPECT_LE(result.coded, 4096u + 60u) << stream.size();
        EXPECT_EQ(result.bytes.size(), result.coded) << stream.size();
    }
}

TEST(LzhUnpack, NeverWritesMoreThanAskedButReportsAnOverrunningMatch) {
    // Ten "a" are a literal and a 9-byte match; asking for 5 bytes stops the
    // output at 5 while the stream coded 10.
    const Unpacked result = unpack(Bytes{0xF6, 0xC9, 0x00, 0x00}, 5);
    EXPECT_EQ(result.bytes, bytesOf("aaaaa"));
    EXPECT_EQ(result.coded, 10u);
}

}  // namespace
}  // namespace velmora
