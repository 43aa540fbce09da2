// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bit packing of the LZH stream: bits go most significant first, the last
// byte is padded with zero bits, and a reader sees zero bits past the end.

#include <cstdint>

#include "compression/byte_staging.h"

namespace velmora {

// Writes bit strings of up to 32 bits.
class BitWriter {
public:
    explicit BitWriter(const WriteBytes& write) : sink_(write) {}

    // Sends the top `length` bits of `code` (length at most 32); the bits of
    // `code` below them must be 0.
    void put(unsigned length, std::uint32_t code) {
        pending_bits_ |= (static_cast<std::uint64_t>(code) << 32) >> pending_count_;
        pending_count_ += length;
        while (pending_count_ >= 8) {
            sink_.put(static_cast<std::uint8_t>(pending_bits_ >> 56));
            pending_bits_ <<= 8;
            pending_count_ -= 8;
        }
    }

    // Writes the last, partly filled byte (if any) and passes everything on.
    void finish() {
        if (pending_count_ > 0) {
            sink_.put(static_cast<std::uint8_t>(pending_bits_ >> 56));
            pending_bits_ = 0;
            pending_count_ = 0;
        }
        sink_.flush();
    }

private:
    ByteSink sink_;
    std::uint64_t pending_bits_ = 0;  // left-aligned
    unsigned pending_count_ = 0;      // below 8 between calls
};

// Reads bits; a byte the input cannot deliver counts as eight zero bits.
class BitReader {
public:
    explicit BitReader(const ReadBytes& read) : source_(read) {}

    // True once a bit past the input's end has been taken (bits merely read
    // ahead do not count).
    bool pastEnd() const { return loaded_bits_ - valid_count_ > input_bits_; }

    unsigned bit() {
        if (valid_count_ == 0) {
            refill();
        }
        const auto result = static_cast<unsigned>(valid_bits_ >> 63);
        valid_bits_ <<= 1;
        --valid_count_;
        return result;
    }

    // The next `count` bits (1 to 32) as a number, first bit highest.
    unsigned bits(unsigned count) {
        if (valid_count_ < count) {
            refill();
        }
        const auto result = static_cast<unsigned>(valid_bits_ >> (64 - count));
        valid_bits_ <<= count;
        valid_count_ -= count;
        return result;
    }

    unsigned byte() {
        if (valid_count_ < 8) {
            refill();
        }
        const auto result = static_cast<unsigned>(valid_bits_ >> 56);
        valid_bits_ <<= 8;
        valid_count_ -= 8;
        return result;
    }

private:
    void refill() {
        while (valid_count_ <= 56) {
            const int next = source_.next();
            const std::uint64_t byte = next < 0 ? 0 : static_cast<std::uint64_t>(next);
            valid_bits_ |= byte << (56 - valid_count_);
            valid_count_ += 8;
            loaded_bits_ += 8;
            input_bits_ += next < 0 ? 0 : 8;
        }
    }

    ByteSource source_;
    std::uint64_t valid_bits_ = 0;  // left-aligned
    unsigned valid_count_ = 0;
    std::uint64_t loaded_bits_ = 0;  // every bit put into valid_bits_
    std::uint64_t input_bits_ = 0;   // those of them that came from the input
};

}  // namespace velmora
