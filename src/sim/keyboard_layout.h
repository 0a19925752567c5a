#pragma once

// The keyboard's own view of its memory: the command numbers its firmware answers and where
// each area keeps what. Written down here once more, apart from the tool's layouts, so that a
// wrong offset in the tool shows up as a difference against the simulated keyboard instead of
// hiding behind the same mistake.

#include <cstddef>
#include <cstdint>

namespace qv::sim {

// Command numbers (byte 3 of a command report).
inline constexpr std::uint8_t kCmdBeginTransfer = 1;
inline constexpr std::uint8_t kCmdEndTransfer = 2;
inline constexpr std::uint8_t kCmdReadSettings = 3;
inline constexpr std::uint8_t kCmdWriteSettings = 4;
inline constexpr std::uint8_t kCmdReadLighting = 5;
inline constexpr std::uint8_t kCmdWriteLighting = 6;
inline constexpr std::uint8_t kCmdReadKeyPage = 7;
inline constexpr std::uint8_t kCmdWriteKeyPage = 8;
inline constexpr std::uint8_t kCmdReadMacros = 9;
inline constexpr std::uint8_t kCmdWriteMacros = 10;
inline constexpr std::uint8_t kCmdBareFirst = 11;  // 11..14 are accepted and do nothing
inline constexpr std::uint8_t kCmdBareLast = 14;
inline constexpr std::uint8_t kCmdReadKeyDefaults = 15;
inline constexpr std::uint8_t kCmdReadKeyColours = 16;
inline constexpr std::uint8_t kCmdWriteKeyColours = 17;

// Statuses the firmware answers with (byte 7 of a reply).
inline constexpr std::uint8_t kStatusOk = 0x00;
inline constexpr std::uint8_t kStatusOutOfRange = 0xFF;  // offset or length outside the area
inline constexpr std::uint8_t kStatusBadRequest = 0xFE;  // unknown command or bad checksum
// The simulated keyboard could not read its state file, or not keep a change in it.
inline constexpr std::uint8_t kStatusNotKept = 0xFF;

inline constexpr std::size_t kProfileCount = 4;

// Settings block: firmware facts and the profile the keyboard runs.
//   0  8 bytes the firmware keeps for the host | 8 LE16 firmware version | 10 active profile |
//   11 macro capacity in units of 128 bytes | 12 32 lighting mode numbers (0 = empty entry)
inline constexpr std::size_t kSettingsBlockSize = 44;
inline constexpr std::size_t kSettingsHostBytes = 0;
inline constexpr std::size_t kSettingsHostBytesSize = 8;
inline constexpr std::size_t kSettingsFirmwareVersion = 8;
inline constexpr std::size_t kSettingsActiveProfile = 10;
inline constexpr std::size_t kSettingsMacroCapacity = 11;
inline constexpr std::size_t kSettingsModeList = 12;
inline constexpr std::size_t kModeListSize = 32;
inline constexpr std::size_t kMacroCapacityUnit = 128;
static_assert(kSettingsHostBytes + kSettingsHostBytesSize == kSettingsFirmwareVersion);
static_assert(kSettingsFirmwareVersion + 2 == kSettingsActiveProfile);
static_assert(kSettingsActiveProfile + 1 == kSettingsMacroCapacity);
static_assert(kSettingsMacroCapacity + 1 == kSettingsModeList);
static_assert(kSettingsModeList + kModeListSize == kSettingsBlockSize);

// Lighting area: one 64-byte record per profile. The fields the factory sets:
//   0 mode | 1 brightness | 2 speed | 3 direction | 4 multicolour | 5 colour (RGB) |
//   9 base colour (RGB)
inline constexpr std::size_t kLightingRecordSize = 64;
inline constexpr std::size_t kLightingAreaSize = kProfileCount * kLightingRecordSize;
inline constexpr std::size_t kRecordMode = 0;
inline constexpr std::size_t kRecordBrightness = 1;
inline constexpr std::size_t kRecordSpeed = 2;
inline constexpr std::size_t kRecordDirection = 3;
inline constexpr std::size_t kRecordMulticolour = 4;
inline constexpr std::size_t kRecordColour = 5;
inline constexpr std::size_t kRecordBaseColour = 9;
inline constexpr std::size_t kColourSize = 3;
static_assert(kRecordColour + kColourSize + 1 == kRecordBaseColour);
static_assert(kRecordBaseColour + kColourSize <= kLightingRecordSize);

// Key pages: one page per profile of 64 positions, each a 3-byte action; the key default
// table has the same shape and is read only.
inline constexpr std::size_t kKeyPositions = 64;
inline constexpr std::size_t kKeyActionSize = 3;
inline constexpr std::size_t kKeyPageSize = kKeyPositions * kKeyActionSize;
inline constexpr std::size_t kKeyAreaSize = kProfileCount * kKeyPageSize;
inline constexpr std::size_t kKeyDefaultTableSize = kKeyPageSize;
static_assert(kKeyPageSize == 192);

// Macro area: up to the capacity the settings block states.
//   header  0 LE16 magic 0x55AA | 2 LE16 size of the area | 4 LE16 macro count n |
//           6 LE16 names flag | 8 reserved (8)
//   16      n x LE16 block offsets from the start of the area
//   block   0 LE16 action count c | 2 repeat count | 3 name length L |
//           4 c x 4-byte actions | 4 + 4c  L UTF-16LE units
//   action  LE16 word (bits 0..11 delay in 10 ms, 12..14 action kind, 15 press), sub, value
inline constexpr std::uint16_t kMacroMagic = 0x55AA;
inline constexpr std::size_t kMacroHeaderSize = 16;
inline constexpr std::size_t kMacroMagicOffset = 0;
inline constexpr std::size_t kMacroSizeOffset = 2;
inline constexpr std::size_t kMacroCountOffset = 4;
inline constexpr std::size_t kMacroNamesFlagOffset = 6;
inline constexpr std::size_t kMacroOffsetTable = kMacroHeaderSize;
inline constexpr std::size_t kMacroOffsetEntrySize = 2;
inline constexpr std::size_t kMacroBlockActionCount = 0;
inline constexpr std::size_t kMacroBlockRepeat = 2;
inline constexpr std::size_t kMacroBlockNameLength = 3;
inline constexpr std::size_t kMacroBlockHeaderSize = 4;
inline constexpr std::size_t kMacroActionSize = 4;
inline constexpr std::size_t kMacroNameUnitSize = 2;
inline constexpr std::size_t kMaxMacros = 100;
inline constexpr std::uint16_t kMacroActionPress = 0x8000;
inline constexpr unsigned kMacroActionKindShift = 12;
inline constexpr std::size_t kLargestMacroArea = 0xFF * kMacroCapacityUnit;
static_assert(kMacroNamesFlagOffset + 2 + 8 == kMacroHeaderSize);
static_assert(kMacroBlockNameLength + 1 == kMacroBlockHeaderSize);
static_assert(kLargestMacroArea <= 0xFFFF, "every macro area offset fits the 16-bit field");

// Per-key colour pages: one page per profile of 64 keys, red, green, blue each.
inline constexpr std::size_t kColourKeysPerPage = 64;
inline constexpr std::size_t kColourPageSize = kColourKeysPerPage * kColourSize;
inline constexpr std::size_t kColourAreaSize = kProfileCount * kColourPageSize;
static_assert(kColourPageSize == 192);

}  // namespace qv::sim
