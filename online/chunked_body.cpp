// SPDX-License-Identifier: GPL-3.0-or-later
#include "online/chunked_body.h"

#include <algorithm>

namespace velmora::online {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "<hex digits>[ ][;extensions]"; at most 15 digits, so the size stays far
// below what a counter can hold. False when the line is not one.
bool parseSizeLine(std::string_view line, uint64_t& size) {
    size_t digits = 0;
    size = 0;
    while (digits < line.size() && hexDigit(line[digits]) >= 0) {
        size = size * 16 + static_cast<uint64_t>(hexDigit(line[digits]));
        ++digits;
    }
    if (digits == 0 || digits > 15) {
        return false;
    }
    std::string_view rest = line.substr(digits);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    return rest.empty() || rest.front() == ';';
}

}  // namespace

bool ChunkedDecoder::collect(char c, size_t limit) {
    if (c == '\n') {
        if (!line_.empty() && line_.back() == '\r') {
            line_.pop_back();
        }
        return true;
    }
    if (line_.size() >= limit) {
        state_ = State::malformed;
        return false;
    }
    line_.push_back(c);
    return false;
}

void ChunkedDecoder::takeLine(std::string_view line) {
    switch (step_) {
        case Step::sizeLine:
            if (!parseSizeLine(line, remaining_)) {
                state_ = State::malformed;
            } else {
                step_ = remaining_ == 0 ? Step::trailers : Step::data;
            }
            break;
        case Step::dataEnd:
            // The line end after a chunk's data, and nothing else.
            if (!line.empty()) {
                state_ = State::malformed;
            }
            step_ = Step::sizeLine;
            break;
        case Step::trailers:
            trailerBytes_ += line.size() + 2;
            if (line.empty()) {
                state_ = State::done;
            } else if (trailerBytes_ > kMaxTrailers) {
                state_ = State::malformed;
            }
            break;
        case Step::data:
            break;  // data is never read as lines
    }
}

ChunkedDecoder::State ChunkedDecoder::feed(std::string_view bytes,
                                           const std::function<void(std::string_view)>& onData) {
    while (!bytes.empty() && state_ == State::more) {
        if (step_ == Step::data) {
            size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, bytes.size()));
            onData(bytes.substr(0, take));
            bytes.remove_prefix(take);
            remaining_ -= take;
            if (remaining_ == 0) {
                step_ = Step::dataEnd;
            }
            continue;
        }
        char c = bytes.front();
        bytes.remove_prefix(1);
        if (collect(c, kMaxLine)) {
            std::string line = std::move(line_);
            line_.clear();
            takeLine(line);
        }
    }
    return state_;
}

}  // namespace velmora::online
