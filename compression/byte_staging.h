// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small staging buffers between a coder and its byte-stream operations, so the
// coder can take and give single bytes while the operations move blocks.

#include <array>
#include <cstddef>
#include <cstdint>

#include "compression/byte_stream.h"

namespace velmora {

// Hands out the bytes that a ReadBytes operation delivers, one at a time.
class ByteSource {
public:
    explicit ByteSource(const ReadBytes& read) : read_(read) {}

    // The next byte, or -1 once the input has ended. After the end the
    // operation is not asked again.
    int next() {
        if (position_ == end_ && !refill()) {
            return -1;
        }
        return buffer_[position_++];
    }

private:
    bool refill() {
        if (ended_) {
            return false;
        }
        end_ = read_(buffer_.data(), buffer_.size());
        position_ = 0;
        if (end_ > buffer_.size()) {
            end_ = buffer_.size();  // an operation that claims more than asked is clipped
        }
        ended_ = end_ == 0;
        return !ended_;
    }

    const ReadBytes& read_;
    std::array<std::uint8_t, 8192> buffer_{};
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
};

// Collects single bytes and passes them on to a WriteBytes operation in blocks.
class ByteSink {
public:
    explicit ByteSink(const WriteBytes& write) : write_(write) {}

    void put(std::uint8_t byte) {
        buffer_[used_++] = byte;
        if (used_ == buffer_.size()) {
            flush();
        }
    }

    // Passes on what is held; does not ask the operation to write out its own.
    void flush() {
        if (used_ > 0) {
            write_(buffer_.data(), used_);
            used_ = 0;
        }
    }

private:
    const WriteBytes& write_;
    std::array<std::uint8_t, 8192> buffer_{};
    std::size_t used_ = 0;
};

}  // namespace velmora
