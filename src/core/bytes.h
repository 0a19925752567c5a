#pragma once

// Little-endian access to byte buffers. Every read and write names its offset and is checked
// against the end of the span; parsers of outside data check a field with InRange before they
// read it.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/contract.h"

namespace qv {

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

[[nodiscard]] constexpr bool InRange(Bytes bytes, std::size_t offset, std::size_t width) noexcept {
    return offset <= bytes.size() && width <= bytes.size() - offset;
}

[[nodiscard]] constexpr std::uint8_t ReadU8(Bytes bytes, std::size_t offset) {
    QV_EXPECTS(InRange(bytes, offset, 1));
    return bytes[offset];
}

[[nodiscard]] constexpr std::uint16_t ReadU16LE(Bytes bytes, std::size_t offset) {
    QV_EXPECTS(InRange(bytes, offset, 2));
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

[[nodiscard]] constexpr std::uint32_t ReadU32LE(Bytes bytes, std::size_t offset) {
    QV_EXPECTS(InRange(bytes, offset, 4));
    return static_cast<std::uint32_t>(bytes[offset]) |
           static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

constexpr void WriteU8(MutableBytes bytes, std::size_t offset, std::uint8_t value) {
    QV_EXPECTS(InRange(bytes, offset, 1));
    bytes[offset] = value;
}

constexpr void WriteU16LE(MutableBytes bytes, std::size_t offset, std::uint16_t value) {
    QV_EXPECTS(InRange(bytes, offset, 2));
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void WriteU32LE(MutableBytes bytes, std::size_t offset, std::uint32_t value) {
    QV_EXPECTS(InRange(bytes, offset, 4));
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace qv
