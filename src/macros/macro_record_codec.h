#pragma once

// A macro as profile files store it: one fixed-size record per macro, little-endian.
//
//   0    name: 250 UTF-16 units, NUL-terminated (at most 249 characters)
//   500  repeat count (u8) | 501 reserved (u8) | 502 new flag (u16) | 504 reserved (u16)
//   506  macro id (u16)    | 508 action count (u16) | 510 reserved (u16)
//   512  2000 actions of 8 bytes: 0 delay in ms (u32) | 4 KeyCode (u16) | 6 state (u16);
//        the ones past the action count are zero

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "macros/macro_record.h"

namespace qv::macros {

inline constexpr std::size_t kRecordNameOffset = 0;
inline constexpr std::size_t kRecordNameUnits = 250;
inline constexpr std::size_t kRecordRepeatOffset = 500;
inline constexpr std::size_t kRecordReserved1Offset = 501;
inline constexpr std::size_t kRecordNewFlagOffset = 502;
inline constexpr std::size_t kRecordReserved2Offset = 504;
inline constexpr std::size_t kRecordIdOffset = 506;
inline constexpr std::size_t kRecordActionCountOffset = 508;
inline constexpr std::size_t kRecordReserved3Offset = 510;
inline constexpr std::size_t kRecordActionsOffset = 512;

inline constexpr std::size_t kRecordActionSize = 8;
inline constexpr std::size_t kRecordActionDelayOffset = 0;
inline constexpr std::size_t kRecordActionKeyOffset = 4;
inline constexpr std::size_t kRecordActionStateOffset = 6;

inline constexpr std::size_t kMacroRecordSize = 16512;

static_assert(kRecordNameOffset + 2 * kRecordNameUnits == kRecordRepeatOffset);
static_assert(kRecordReserved3Offset + 2 == kRecordActionsOffset);
static_assert(kRecordActionStateOffset + 2 == kRecordActionSize);
static_assert(kRecordActionsOffset + kMaxMacroActions * kRecordActionSize == kMacroRecordSize);
static_assert(kMaxMacroNameLength + 1 == kRecordNameUnits);

using MacroRecordBytes = std::span<const std::uint8_t, kMacroRecordSize>;
using MutableMacroRecordBytes = std::span<std::uint8_t, kMacroRecordSize>;

// Fills every byte of `destination`. A name longer than 249 units or more than 2000 actions
// cannot be stored and are cut; the tool's own editors never make them.
void EncodeMacroRecord(const MacroRecord& macro, MutableMacroRecordBytes destination);

struct DecodedMacroRecord {
    MacroRecord macro;
    // Empty for a sound record; otherwise what was cut and why.
    std::vector<std::string> problems;
};

// Reads a record that came from a file. Nothing outside the record is read: a name without a
// terminator is cut to 249 units and an action count above 2000 to 2000, both reported. Field
// values the tool would not make itself (a repeat count of 0, an unknown state) are kept as
// they are, so that a file written back keeps them.
[[nodiscard]] DecodedMacroRecord DecodeMacroRecord(MacroRecordBytes record);

}  // namespace qv::macros
