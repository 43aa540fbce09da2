// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/LZRW1KH.h"

#include <gtest/gtest.h>

#include <random>

#include "sample_data.h"

namespace velmora {
namespace {

using test::Bytes;

Bytes compressBlock(TLZR& coder, const Bytes& block) {
    Bytes chunk(block.size() + TLZR::kChunkSpare);
    chunk.resize(coder.compress(block, chunk));
    return chunk;
}

std::optional<Bytes> expandChunk(const Bytes& chunk) {
    Bytes block(TLZR::kBlockSize);
    const auto produced = TLZR::expand(chunk, block);
    if (!produced) {
        return std::nullopt;
    }
    block.resize(*produced);
    return block;
}

Bytes prefix(const Bytes& bytes, std::size_t count) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
}

TEST(LzrwChunk, WorkedExamplesGiveTheirExactBytes) {
    TLZR coder;
    EXPECT_EQ(compressBlock(coder, test::bytesOf("abcabcabcabcabc")),
              (Bytes{0x40, 0x10, 0x00, 0x61, 0x62, 0x63, 0x00, 0x39}));

    const Bytes same(32768, 'x');
    const Bytes runs = compressBlock(coder, same);
    ASSERT_EQ(runs.size(), 38u);
    EXPECT_EQ(prefix(runs, 6), (Bytes{0x40, 0xFF, 0x40, 0x00, 0x0F, 0xEF}));
    // After the eight runs: a literal, then a copy of offset 1, length 7.
    EXPECT_EQ(Bytes(runs.end() - 3, runs.end()), (Bytes{'x', 0x00, 0x14}));
    EXPECT_EQ(expandChunk(runs), same);

    EXPECT_EQ(compressBlock(coder, {}), Bytes{0x80});
}

TEST(LzrwChunk, BlocksThatDoNotShrinkAreStored) {
    TLZR coder;
    for (std::size_t size : {1, 2, 3, 100, 32768}) {
        const Bytes block = test::randomBytes(size, static_cast<unsigned>(size));
        const Bytes chunk = compressBlock(coder, block);
        ASSERT_EQ(chunk.size(), size + 1) << size;
        EXPECT_EQ(chunk[0], 0x80);
        EXPECT_EQ(Bytes(chunk.begin() + 1, chunk.end()), block);
    }
}

TEST(LzrwChunk, ControlWordsGovernSixteenItemsAndAreWrittenOnlyWithItems) {
    TLZR coder;
    // 16 literals, then a copy: a second control word holding just its top bit.
    Bytes block = test::bytesOf("ABCDEFGHIJKLMNOP");
    const Bytes repeat = prefix(block, 16);
    block.insert(block.end(), repeat.begin(), repeat.end());
    const Bytes chunk = compressBlock(coder, block);
    ASSERT_EQ(chunk.size(), 1u + 2 + 16 + 2 + 2);
    EXPECT_EQ(chunk[1], 0x00);
    EXPECT_EQ(chunk[2], 0x00);
    EXPECT_EQ(chunk[19], 0x80);
    EXPECT_EQ(chunk[20], 0x00);
    EXPECT_EQ(chunk[21], 0x01);  // offset 16, length 16
    EXPECT_EQ(chunk[22], 0x0D);
    EXPECT_EQ(expandChunk(chunk), block);
}

TEST(LzrwChunk, RoundTripsManyKindsAndSizes) {
    TLZR coder;
    std::vector<Bytes> blocks;
    for (std::size_t size : {3, 4, 15, 16, 17, 18, 19, 4095, 4096, 4097, 5000, 32767, 32768}) {
        blocks.push_back(test::wordText(size, static_cast<unsigned>(size)));
        blocks.push_back(test::runsOfBytes(size, static_cast<unsigned>(size)));
        blocks.push_back(test::randomBytes(size, static_cast<unsigned>(size)));
    }
    for (const Bytes& block : blocks) {
        const Bytes chunk = compressBlock(coder, block);
        EXPECT_LE(chunk.size(), block.size() + 1);
        EXPECT_EQ(expandChunk(chunk), block) << block.size();
    }
}

TEST(LzrwChunk, ShortChunksExpandToNothing) {
    EXPECT_EQ(expandChunk({}), Bytes{});
    EXPECT_EQ(expandChunk({0x80}), Bytes{});
    EXPECT_EQ(expandChunk({0x40, 0x00}), Bytes{});
}

TEST(LzrwChunk, MalformedChunksAreRejected) {
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"copy before the start", {0x40, 0x80, 0x00, 0x00, 0x10}},
        {"copy after one literal reaching two back", {0x40, 0x40, 0x00, 'a', 0x00, 0x20}},
        {"run item cut off", {0x40, 0x80, 0x00, 0x00, 0x00}},
        {"copy item cut off", {0x40, 0x80, 0x00, 0x10}},
        {"control word cut off", {0x40, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm',
                                  'n', 'o', 'p', 0x00}},
    };
    for (const auto& [name, chunk] : cases) {
        EXPECT_FALSE(expandChunk(chunk).has_value()) << name;
    }
    // Nine runs of 4095 bytes are more than a block holds.
    Bytes too_long = {0x40, 0xFF, 0x80};
    for (int i = 0; i < 9; ++i) {
        too_long.insert(too_long.end(), {0x00, 0x0F, 0xEF, 'z'});
    }
    EXPECT_FALSE(expandChunk(too_long).has_value());
    // A stored chunk longer than a block, and any chunk over 32769 bytes.
    Bytes stored(TLZR::kLongestChunk + 1, 0);
    stored[0] = 0x80;
    EXPECT_FALSE(expandChunk(stored).has_value());
    Bytes small_block(10);
    EXPECT_FALSE(TLZR::expand(Bytes{0x80, 1, 2, 3}, std::span(small_block).first(2)).has_value());
}

// The chunk format read one item at a time, as plainly as it can be said:
// the yardstick for the expander's fast paths.
std::optional<Bytes> plainExpand(const Bytes& chunk, std::size_t capacity) {
    if (chunk.size() > TLZR::kLongestChunk) {
        return std::nullopt;
    }
    if (chunk.size() < 2) {
        return Bytes{};
    }
    if (chunk[0] == 0x80) {
        if (chunk.size() - 1 > capacity) {
            return std::nullopt;
        }
        return Bytes(chunk.begin() + 1, chunk.end());
    }
    Bytes out;
    std::size_t in = 1;
    while (in < chunk.size()) {
        if (in > 1 && chunk.size() - in < 3) {
            return std::nullopt;  // a control word needs an item after it
        }
        if (in == 1 && chunk.size() < 3) {
            return Bytes{};
        }
        const unsigned control = (chunk[in] << 8) | chunk[in + 1];
        in += 2;
        for (unsigned bit = 0; bit < 16 && in < chunk.size(); ++bit) {
            if ((control & (0x8000u >> bit)) == 0) {
                if (out.size() == capacity) {
                    return std::nullopt;
                }
                out.push_back(chunk[in++]);
                continue;
            }
            if (chunk.size() - in < 2) {
                return std::nullopt;
            }
            const unsigned value = (chunk[in] << 8) | chunk[in + 1];
            std::size_t length;
            if (value >> 4 == 0) {
                if (chunk.size() - in < 4) {
                    return std::nullopt;
                }
                length = ((chunk[in + 1] << 8) | chunk[in + 2]) + 16u;
                if (length > capacity - out.size()) {
                    return std::nullopt;
                }
                out.insert(out.end(), length, chunk[in + 3]);
                in += 4;
                continue;
            }
            const std::size_t offset = value >> 4;
            length = (value & 15u) + 3;
            if (offset > out.size() || length > capacity - out.size()) {
                return std::nullopt;
            }
            for (std::size_t k = 0; k < length; ++k) {
                out.push_back(out[out.size() - offset]);
            }
            in += 2;
        }
    }
    return out;
}

TEST(LzrwChunk, ExpansionAgreesWithAnItemByItemReadingEvenOnDamagedChunks) {
    TLZR coder;
    std::vector<Bytes> blocks;
    for (std::size_t size : {40, 300, 5000, 32768}) {
        blocks.push_back(test::wordText(size, static_cast<unsigned>(size)));
        blocks.push_back(test::runsOfBytes(size, static_cast<unsigned>(size)));
        // Short periods give copies that overlap what they write.
        Bytes periodic;
        for (std::size_t i = 0; i < size; ++i) {
            periodic.push_back(static_cast<std::uint8_t>("abcabdab"[i % (1 + i / 97 % 8)]));
        }
        blocks.push_back(periodic);
    }
    std::mt19937 random(5);
    for (const Bytes& block : blocks) {
        const Bytes chunk = compressBlock(coder, block);
        ASSERT_EQ(plainExpand(chunk, TLZR::kBlockSize), block) << block.size();
        for (int trial = 0; trial < 300; ++trial) {
            Bytes damaged = chunk;
            const int changes = 1 + trial % 3;
            for (int c = 0; c < changes; ++c) {
                damaged[1 + random() % (damaged.size() - 1)] = static_cast<std::uint8_t>(random());
            }
            if (trial % 5 == 0) {
                damaged.resize(1 + random() % damaged.size());
            }
            // Both with a block's room and with barely enough for the input.
            for (std::size_t capacity : {TLZR::kBlockSize, block.size() + 8}) {
                Bytes out(capacity);
                const auto produced = TLZR::expand(damaged, out);
                const auto expected = plainExpand(damaged, capacity);
                ASSERT_EQ(produced.has_value(), expected.has_value()) << block.size() << " trial " << trial;
                if (produced) {
                    out.resize(*produced);
                    ASSERT_EQ(out, *expected) << block.size() << " trial " << trial;
                }
            }
        }
    }
}

TEST(LzrwChunk, CompressRejectsBuffersOutsideItsLimits) {
    TLZR coder;
    Bytes block(100, 'q');
    Bytes chunk(100 + TLZR::kChunkSpare - 1);
    EXPECT_THROW(coder.compress(block, chunk), std::invalid_argument);
    Bytes huge(TLZR::kBlockSize + 1);
    Bytes room(huge.size() + TLZR::kChunkSpare);
    EXPECT_THROW(coder.compress(huge, room), std::invalid_argument);
}

}  // namespace
}  // namespace velmora
