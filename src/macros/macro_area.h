#pragma once

// The keyboard's macro area: a 16-byte header, an offset table and one block per macro.
//
//   header   0 magic 0x55AA | 2 size of the area | 4 count n | 6 names flag | 8 reserved (8)
//   16       n x LE16 offsets of the blocks, from the start of the area
//   block    0 action count c | 2 repeat count | 3 name length L | 4 c x 4-byte actions |
//            4 + 4c  L UTF-16LE units (names flag set only)
//   action   LE16 word (bits 0..11 delay / 10 ms, 12..14 action kind, 15 press), sub, value

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "macros/macro_record.h"

namespace qv::macros {

inline constexpr std::uint16_t kMacroAreaMagic = 0x55AA;
inline constexpr std::size_t kMacroAreaHeaderSize = 16;
inline constexpr std::size_t kMacroAreaSizeOffset = 2;
inline constexpr std::size_t kMacroAreaCountOffset = 4;
inline constexpr std::size_t kMacroAreaNamesFlagOffset = 6;
inline constexpr std::size_t kMacroBlockHeaderSize = 4;
inline constexpr std::size_t kMacroAreaActionSize = 4;

struct AreaSizes {
    std::size_t full = 0;     // with names
    std::size_t compact = 0;  // without names
};

[[nodiscard]] AreaSizes MacroAreaSizes(std::span<const MacroRecord> macros);

// How the macros go to a keyboard that holds `capacity` bytes of macro area.
enum class MacroAreaForm {
    Full,      // with their names
    Compact,   // without names: the names do not fit, the macros do
    TooLarge,  // not even without names: nothing may be written
};

// The one rule that decides it, for the write and for every figure shown before it.
[[nodiscard]] MacroAreaForm ChooseMacroAreaForm(const AreaSizes& sizes, std::size_t capacity);

// The area for these macros, with or without names. nullopt when it cannot be expressed: the
// area or a block offset would not fit its 16-bit field, or a list breaks the limits
// (more than 100 macros, 2000 actions, 255 name units).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> EncodeMacroArea(
    std::span<const MacroRecord> macros, bool withNames);

struct DecodedMacroArea {
    MacroList macros;  // ids 1..n in position order
    // What could not be read: empty for a sound area. Each line says what was dropped and why.
    std::vector<std::string> problems;
};

// Reads an area that came from the keyboard. Nothing is read outside `area`: a block or name
// that runs past the end, a count above 100 or an action count above 2000 is cut or dropped
// and reported. A block that cannot be read at all (its offset lies in the header, the offset
// table or past the end) still takes its position, as an empty macro, since key pages play
// macros by position. Bytes past the header's size field are not part of the area. An area
// without the magic holds no macros. Macros without a stored name (or whose name is empty up
// to its first NUL) are named `newNamePrefix` followed by their position + 1; stored names are
// cut to 249 units, and steps whose action a macro cannot play (a G key) become no key.
[[nodiscard]] DecodedMacroArea DecodeMacroArea(Bytes area, std::u16string_view newNamePrefix);

// The ids of the macros in list order: what a key page needs to find a macro's position.
[[nodiscard]] std::vector<std::uint16_t> MacroIdsInOrder(std::span<const MacroRecord> macros);

}  // namespace qv::macros
