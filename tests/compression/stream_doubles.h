// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stream buffers that fail on purpose, for the component's error paths.

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <streambuf>
#include <vector>

namespace velmora::test {

// A seekable input over `data` whose bytes from `readable` on cannot be read:
// reaching them fails the way a broken disk does.
class BrokenInput : public std::streambuf {
public:
    BrokenInput(std::vector<std::uint8_t> data, std::size_t readable)
        : data_(std::move(data)), readable_(std::min(readable, data_.size())) {
        seekpos(0, std::ios::in);
    }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        throw std::runtime_error("read failure");
    }

    pos_type seekoff(off_type offset, std::ios::seekdir direction, std::ios::openmode which) override {
        const off_type base = direction == std::ios::beg   ? 0
                              : direction == std::ios::end ? static_cast<off_type>(data_.size())
                                                           : static_cast<off_type>(gptr() - eback());
        return seekpos(pos_type(base + offset), which);
    }

    pos_type seekpos(pos_type position, std::ios::openmode) override {
        const auto at = static_cast<std::size_t>(off_type(position));
        if (off_type(position) < 0 || at > data_.size()) {
            return pos_type(off_type(-1));
        }
        char* base = reinterpret_cast<char*>(data_.data());
        setg(base, base + at, base + std::max(at, readable_));
        return position;
    }

private:
    std::vector<std::uint8_t> data_;
    std::size_t readable_;
};

// An output that takes `room` bytes and then refuses more, like a full disk.
class FullOutput : public std::streambuf {
public:
    explicit FullOutput(std::size_t room) : room_(room) {}
    const std::vector<std::uint8_t>& written() const { return written_; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        if (written_.size() >= room_) {
            return traits_type::eof();
        }
        written_.push_back(static_cast<std::uint8_t>(c));
        return c;
    }

private:
    std::size_t room_;
    std::vector<std::uint8_t> written_;
};

}  // namespace velmora::test
