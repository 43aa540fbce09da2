// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 8-byte header of a compressed container: a magic naming the codec and
// the uncompressed size, both little-endian 32-bit values.

#include <array>
#include <cstdint>
#include <optional>

namespace velmora {

enum class ContainerCodec { Lzh, Lzrw1kh };

inline constexpr std::uint32_t kLzhMagic = 0x4C5A4821;      // "!HZL"
inline constexpr std::uint32_t kLzrw1khMagic = 0x4C5A5257;  // "WRZL"
inline constexpr std::size_t kHeaderSize = 8;

inline std::uint32_t readLittleEndian32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

inline void writeLittleEndian32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The codec a magic names, or nothing for any other four bytes.
inline std::optional<ContainerCodec> codecOfMagic(const std::uint8_t* at) {
    switch (readLittleEndian32(at)) {
    case kLzhMagic:
        return ContainerCodec::Lzh;
    case kLzrw1khMagic:
        return ContainerCodec::Lzrw1kh;
    default:
        return std::nullopt;
    }
}

inline std::array<std::uint8_t, kHeaderSize> makeHeader(ContainerCodec codec, std::uint32_t size) {
    std::array<std::uint8_t, kHeaderSize> header{};
    writeLittleEndian32(header.data(), codec == ContainerCodec::Lzh ? kLzhMagic : kLzrw1khMagic);
    writeLittleEndian32(header.data() + 4, size);
    return header;
}

}  // namespace velmora
