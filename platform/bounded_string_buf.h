// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An output stream buffer that collects into a string and refuses to grow
// past its limit: a writer then sees a failed write instead of exhausting
// memory on hostile input.

#include <algorithm>
#include <cstddef>
#include <streambuf>
#include <string>

namespace velmora::platform {

class BoundedStringBuf : public std::streambuf {
public:
    explicit BoundedStringBuf(size_t limit) : limit_(limit) {}

    const std::string& text() const { return bytes_; }
    std::string take() { return std::move(bytes_); }
    bool full() const { return bytes_.size() >= limit_; }

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        size_t room = limit_ - bytes_.size();
        size_t taken = std::min(room, static_cast<size_t>(count));
        bytes_.append(data, taken);
        return static_cast<std::streamsize>(taken);
    }

    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        if (bytes_.size() >= limit_) {
            return traits_type::eof();
        }
        bytes_.push_back(traits_type::to_char_type(c));
        return c;
    }

private:
    std::string bytes_;
    size_t limit_;
};

}  // namespace velmora::platform
