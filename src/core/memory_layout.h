#pragma once

// The sizes of the keyboard's memory areas and of the payload one report carries: what the
// report link moves and the model's codecs read and write, kept once below both.

#include <cstddef>

namespace qv::layout {

// The bytes of one report's payload, the most one read or write moves.
inline constexpr std::size_t kPayloadSize = 56;

inline constexpr std::size_t kSettingsBlockSize = 44;
inline constexpr std::size_t kLightingRecordSize = 64;
inline constexpr std::size_t kProfileCount = 4;
inline constexpr std::size_t kLightingAreaSize = kProfileCount * kLightingRecordSize;
inline constexpr std::size_t kKeyPageSize = 192;
inline constexpr std::size_t kKeyAreaSize = kProfileCount * kKeyPageSize;
inline constexpr std::size_t kKeyDefaultTableSize = 192;
inline constexpr std::size_t kColourPageSize = 192;
inline constexpr std::size_t kColourKeysPerPage = 64;
inline constexpr std::size_t kColourBytesPerKey = 3;
static_assert(kSettingsBlockSize <= kPayloadSize);
static_assert(kColourKeysPerPage * kColourBytesPerKey == kColourPageSize);

// A profile index the keyboard has: 0..3.
[[nodiscard]] constexpr bool IsProfileIndex(int profile) {
    return profile >= 0 && profile < static_cast<int>(kProfileCount);
}

}  // namespace qv::layout
