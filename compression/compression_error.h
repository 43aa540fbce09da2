// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The errors of the compression component and its two coders. Each carries
// the component's own message text, shown to the player as it is.

#include <stdexcept>
#include <string>

namespace velmora {

// Common base of every compression error: a message and nothing else.
class CompressionError : public std::runtime_error {
public:
    explicit CompressionError(const std::string& message) : std::runtime_error(message) {}
};

// Raised by the component (Tlzrw1) for every failure of an operation.
class ELzrw1Exception : public CompressionError {
public:
    using CompressionError::CompressionError;
};

// Raised by the LZRW1/KH coder when it cannot get its hash table.
class ELzrw1KHCompressor : public CompressionError {
public:
    using CompressionError::CompressionError;
};

// Raised by the LZH coder when it cannot get its tables.
class ElzhException : public CompressionError {
public:
    using CompressionError::CompressionError;
};

}  // namespace velmora
