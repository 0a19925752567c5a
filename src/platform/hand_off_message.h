#pragma once

// The request a later start sends the running instance over the instance socket: the message
// number and its tag, each a little-endian u32. The running instance reads it from a socket
// any process of this user can connect to, so it is outside data: only a request of exactly
// the right size is taken.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/bytes.h"

namespace qv::platform {

inline constexpr std::size_t kHandOffNumberOffset = 0;
inline constexpr std::size_t kHandOffTagOffset = 4;
inline constexpr std::size_t kHandOffRequestSize = 8;
static_assert(kHandOffTagOffset == kHandOffNumberOffset + sizeof(std::uint32_t));
static_assert(kHandOffRequestSize == kHandOffTagOffset + sizeof(std::uint32_t));

struct HandOffRequest {
    std::uint32_t number = 0;
    std::uint32_t tag = 0;

    friend bool operator==(const HandOffRequest&, const HandOffRequest&) = default;
};

using HandOffBytes = std::array<std::uint8_t, kHandOffRequestSize>;

[[nodiscard]] constexpr HandOffBytes EncodeHandOff(const HandOffRequest& request) {
    HandOffBytes bytes{};
    WriteU32LE(bytes, kHandOffNumberOffset, request.number);
    WriteU32LE(bytes, kHandOffTagOffset, request.tag);
    return bytes;
}

// Nothing for a request that is cut short or runs on past its end.
[[nodiscard]] constexpr std::optional<HandOffRequest> ParseHandOff(Bytes bytes) {
    if (bytes.size() != kHandOffRequestSize) {
        return std::nullopt;
    }
    return HandOffRequest{ReadU32LE(bytes, kHandOffNumberOffset),
                          ReadU32LE(bytes, kHandOffTagOffset)};
}

}  // namespace qv::platform
