#pragma once

// The image block: the key configuration of all four profiles as the first 32,832 bytes of a
// profile file hold it. All integers little-endian, fields without gaps.
//
//   0    header (32)   0 magic 0x4446 | 2 header size 32 | 4 format 3 | 6 always 1 |
//                      8 total file size (u32) | 12 key entry count 2048 | 14 macro count |
//                      16 text area size (u32) | 20, 24 reserved (u32) | 28 reserved (u16) |
//                      30 flag (u8) | 31 checksum: sum of bytes 0..30 mod 256
//   32   fixed block (32): eight u32 values, written on save and ignored on load
//   64   2048 key entries of 16 bytes: profile p's 512 entries start at 64 + 8,192 p
//
// A file goes on with the macro records (16,512 bytes each) and the text area.

#include <array>
#include <cstddef>
#include <cstdint>

#include "keys/key_entry.h"

namespace qv::profiles {

inline constexpr std::size_t kProfileCount = 4;

inline constexpr std::size_t kProfileHeaderSize = 32;
inline constexpr std::size_t kHeaderMagicOffset = 0;
inline constexpr std::size_t kHeaderSizeOffset = 2;
inline constexpr std::size_t kHeaderFormatOffset = 4;
inline constexpr std::size_t kHeaderOneOffset = 6;
inline constexpr std::size_t kHeaderTotalSizeOffset = 8;
inline constexpr std::size_t kHeaderEntryCountOffset = 12;
inline constexpr std::size_t kHeaderMacroCountOffset = 14;
inline constexpr std::size_t kHeaderTextAreaSizeOffset = 16;
inline constexpr std::size_t kHeaderReserved1Offset = 20;
inline constexpr std::size_t kHeaderReserved2Offset = 24;
inline constexpr std::size_t kHeaderReserved3Offset = 28;
inline constexpr std::size_t kHeaderFlagOffset = 30;
inline constexpr std::size_t kHeaderChecksumOffset = 31;
static_assert(kHeaderChecksumOffset + 1 == kProfileHeaderSize);

inline constexpr std::uint16_t kProfileMagic = 0x4446;  // bytes 46 44
inline constexpr std::uint16_t kProfileFormat = 3;
inline constexpr std::uint16_t kProfileHeaderOne = 1;

inline constexpr std::size_t kFixedBlockOffset = kProfileHeaderSize;
inline constexpr std::array<std::uint32_t, 8> kFixedBlockValues{
    0x0020484B, 0x00008020, 0x02000004, 0, 0x50040C45, 0x000E1C4F, 0, 0};
inline constexpr std::size_t kFixedBlockSize = kFixedBlockValues.size() * 4;

inline constexpr std::size_t kImageKeyEntriesOffset = kFixedBlockOffset + kFixedBlockSize;
inline constexpr std::size_t kImageKeyEntryCount = kProfileCount * keys::kKeyBlockSize;
inline constexpr std::size_t kImageProfileBlockSize = keys::kKeyBlockSize * keys::KeyEntry::kSize;
inline constexpr std::size_t kImageBlockSize =
    kImageKeyEntriesOffset + kImageKeyEntryCount * keys::KeyEntry::kSize;

static_assert(kImageKeyEntriesOffset == 64);
static_assert(kImageKeyEntryCount == 2048);
static_assert(kImageProfileBlockSize == 8192);
static_assert(kImageBlockSize == 32832);

// Where entry `slot` of profile `profile` stands in the image block.
[[nodiscard]] constexpr std::size_t ImageEntryOffset(std::size_t profile, std::size_t slot) {
    return kImageKeyEntriesOffset + profile * kImageProfileBlockSize + slot * keys::KeyEntry::kSize;
}

// What each macro adds to a file.
inline constexpr std::size_t kMacroRecordFileSize = 16512;

}  // namespace qv::profiles
