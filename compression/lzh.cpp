// SPDX-License-Identifier: GPL-3.0-or-later
#include "compression/lzh.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cstdint>
#include <memory>
#include <new>

#include "compression/adaptive_huffman.h"
#include "compression/bit_stream.h"
#include "compression/compression_error.h"
#include "compression/match_finder.h"
#include "compression/position_code.h"

namespace velmora {

namespace {

constexpr unsigned kRingSize = MatchFinder::kRingSize;
constexpr unsigned kRingMask = kRingSize - 1;
constexpr unsigned kLongestMatch = MatchFinder::kLongestMatch;
constexpr unsigned kShortestMatch = 3;
constexpr unsigned kFirstLengthSymbol = 256 - kShortestMatch;  // symbol = length + 253
constexpr unsigned kStart = kRingSize - kLongestMatch;           // first byte goes to 4036
// A stream whose last codes run a few bits past its end still decodes, but
// the zero bits read there may produce no more than this; beyond it the
// stream is damaged (an 8-byte file must not expand into gigabytes).
constexpr std::uint64_t kPaddingOutputLimit = 4096;

// Positions the coder has not written yet hold this, so equal input always
// chooses equal matches.
constexpr std::uint8_t kUnwritten = 0;

struct PackTables {
    // The ring repeats its first 59 bytes past its end so that a 60-byte
    // comparison never wraps.
    std::array<std::uint8_t, MatchFinder::kRingBytes + MatchFinder::kReadSlack> ring{};
    MatchFinder finder{ring.data()};
    AdaptiveHuffman huffman;
};

// The decoder keeps its output in one straight buffer: the last 4096 bytes
// (at first the ring's starting contents) and then up to kOutputBlock new
// ones, with room for a match to run over. Copies then never wrap, and a
// full block goes out at once and slides the last 4096 bytes to the front.
constexpr std::size_t kOutputBlock = 32768;
constexpr std::size_t kCopySlack = 128;

struct UnpackTables {
    std::array<std::uint8_t, kRingSize + kOutputBlock + kCopySlack> ring{};
    AdaptiveHuffman huffman;
};

// Stores a byte at ring position `at`, and in the repeat past the end too.
void store(std::array<std::uint8_t, MatchFinder::kRingBytes + MatchFinder::kReadSlack>& ring, unsigned at,
           std::uint8_t byte) {
    ring[at] = byte;
    if (at < kLongestMatch - 1) {
        ring[at + kRingSize] = byte;
    }
}

// Repeats the `length` bytes found `distance` back (1 to 4096) at `to`, as a
// byte-by-byte copy would; may write up to 64 bytes, whatever the length.
inline void copyMatch(std::uint8_t* to, std::size_t distance, unsigned length) {
    const std::uint8_t* from = to - distance;
    if (distance >= 8) {
        // Whole words, each reading only bytes already final; a fixed count
        // of them, so that the length is never branched on.
        for (unsigned k = 0; k < 64; k += 8) {
            std::memcpy(to + k, from + k, 8);
        }
    } else {
        for (unsigned k = 0; k < length; ++k) {
            to[k] = from[k];
        }
    }
}

template <typename Tables>
std::unique_ptr<Tables> allocateTables() {
    try {
        auto tables = std::make_unique<Tables>();
        std::fill(tables->ring.begin(), tables->ring.end(), kUnwritten);
        std::fill(tables->ring.begin(), tables->ring.begin() + kStart, ' ');
        return tables;
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
}

class Encoder {
public:
    Encoder(PackTables& tables, const WriteBytes& write) : tables_(tables), out_(write) {}

    void sendSymbol(unsigned symbol) {
        const auto code = tables_.huffman.codeOf(symbol);
        out_.put(code.length, code.bits);
        tables_.huffman.update(symbol);
    }

    void sendPosition(unsigned value) {
        const unsigned upper = value >> 6;
        out_.put(kPositionCode.length[upper], static_cast<std::uint32_t>(kPositionCode.code[upper]) << 24);
        out_.put(6, (value & 0x3Fu) << 26);
    }

    void finish() { out_.finish(); }

private:
    PackTables& tables_;
    BitWriter out_;
};

class Decoder {
public:
    Decoder(UnpackTables& tables, const ReadBytes& read) : tables_(tables), in_(read) {}

    unsigned readSymbol() {
        const unsigned symbol = tables_.huffman.decode([this] { return in_.bit(); });
        tables_.huffman.update(symbol);
        return symbol;
    }

    unsigned readPosition() {
        unsigned bits = in_.byte();
        const unsigned upper = kPositionCode.valueOfPrefix[bits];
        // The 1 to 6 bits that complete the low part, read at once rather
        // than in a loop whose count would be mispredicted.
        const unsigned extra = kPositionCode.lengthOfPrefix[bits] - 2u;
        bits = (bits << extra) | in_.bits(extra);
        return (upper << 6) | (bits & 0x3Fu);
    }

    bool pastEnd() const { return in_.pastEnd(); }

private:
    UnpackTables& tables_;
    BitReader in_;
};

}  // namespace

std::uint64_t TLZH::pack(const ReadBytes& read, const WriteBytes& write) {
    auto tables = allocateTables<PackTables>();
    auto& ring = tables->ring;
    auto& finder = tables->finder;
    ByteSource in(read);
    Encoder encoder(*tables, write);

    unsigned s = 0;
    unsigned r = kStart;
    unsigned len = 0;
    for (; len < kLongestMatch; ++len) {
        const int c = in.next();
        if (c < 0) {
            break;
        }
        ring[r + len] = static_cast<std::uint8_t>(c);
    }
    if (len == 0) {
        return 0;
    }
    std::uint64_t total = len;
    // The strings that end in the space fill are entered too, so leading
    // spaces already find a match.
    for (unsigned i = 1; i <= kLongestMatch; ++i) {
        finder.insert(r - i);
    }
    finder.insert(r);

    do {
        unsigned length = std::min(finder.matchLength(), len);
        if (length < kShortestMatch) {
            length = 1;
            encoder.sendSymbol(ring[r]);
        } else {
            encoder.sendSymbol(kFirstLengthSymbol + length);
            encoder.sendPosition(finder.matchPosition());
        }
        unsigned i = 0;
        while (i < length) {
            const int c = in.next();
            if (c < 0) {
                break;
            }
            const unsigned r1 = (r + 1) & kRingMask;
            const unsigned r2 = (r + 2) & kRingMask;
            const unsigned s1 = (s + 1) & kRingMask;
            // Two steps at once when their strings go into different trees
            // and the string that leaves between them is not in the first
            // one's tree: the searches then see exactly what they would one
            // after the other.
            if (i + 1 < length && ring[r1] != ring[r2] && !finder.inTreeOf(s1, ring[r1])) {
                const int c2 = in.next();
                if (c2 >= 0) {
                    finder.remove(s);
                    store(ring, s, static_cast<std::uint8_t>(c));
                    finder.remove(s1);
                    store(ring, s1, static_cast<std::uint8_t>(c2));
                    s = (s + 2) & kRingMask;
                    r = r2;
                    finder.insertPair(r1, r2);
                    i += 2;
                    continue;
                }
            }
            finder.remove(s);
            store(ring, s, static_cast<std::uint8_t>(c));
            s = s1;
            r = r1;
            finder.insert(r);
            ++i;
        }
        total += i;
        for (; i < length; ++i) {
            // The input has ended: the window still slides over what is left.
            finder.remove(s);
            s = (s + 1) & kRingMask;
            r = (r + 1) & kRingMask;
            if (--len != 0) {
                finder.insert(r);
            }
        }
    } while (len > 0);
    encoder.finish();
    return total;
}

std::uint64_t TLZH::unpack(std::uint64_t size, const ReadBytes& read, const WriteBytes& write) {
    if (size == 0) {
        return 0;
    }
    auto tables = allocateTables<UnpackTables>();
    std::uint8_t* const window = tables->ring.data();
    Decoder decoder(*tables, read);

    // The ring position of window byte i is (i + kStart) modulo 4096, so
    // the history before the first byte reads as the ring's starting fill.
    std::rotate(window, window + kStart, window + kRingSize);
    std::size_t at = kRingSize;  // where the next byte goes
    std::uint64_t count = 0;
    std::uint64_t written = 0;
    std::uint64_t padding_from = UINT64_MAX;  // count when the input ran out
    auto writeOut = [&] {
        // Bytes a last match coded past `size` are never written.
        const auto pending = std::min<std::uint64_t>(at - kRingSize, size - written);
        if (pending > 0) {
            write(window + kRingSize, static_cast<std::size_t>(pending));
            written += pending;
        }
    };
    while (count < size) {
        const std::uint64_t before = count;
        const unsigned symbol = decoder.readSymbol();
        if (symbol < 256) {
            window[at++] = static_cast<std::uint8_t>(symbol);
            ++count;
        } else {
            const std::size_t distance = decoder.readPosition() + 1;
            const unsigned length = symbol - kFirstLengthSymbol;
            copyMatch(window + at, distance, length);
            at += length;
            count += length;
        }
        if (decoder.pastEnd()) {
            padding_from = std::min(padding_from, before);
            if (count - padding_from > kPaddingOutputLimit) {
                break;
            }
        }
        if (at >= kRingSize + kOutputBlock) {
            writeOut();
            std::memmove(window, window + at - kRingSize, kRingSize);
            at = kRingSize;
        }
    }
    writeOut();
    return count;
}

}  // namespace velmora
