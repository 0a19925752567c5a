#pragma once

// The keyboard's per-profile key page: 64 positions of one three-byte DeviceAction each. Which
// key a position belongs to is not fixed here: the keyboard's key default table gives each
// position's default action, and the key that action names is the key of the position.
// Positions whose default names no key (functions, nothing) always keep their default.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "keys/device_action.h"
#include "keys/key_entry.h"

namespace qv::keys {

inline constexpr std::size_t kKeyPositions = 64;
inline constexpr std::size_t kKeyPageBytes = kKeyPositions * DeviceAction::kSize;
static_assert(kKeyPageBytes == 192);

using KeyPage = std::array<std::uint8_t, kKeyPageBytes>;
// Same layout as a page: each position's default action.
using KeyDefaultTable = KeyPage;

// What stands in for the keyboard's own table until it has been read (and when it cannot be).
extern const KeyDefaultTable kBuiltInKeyDefaultTable;

// Whether some position of the keyboard's pages belongs to the key of `slot` (a slot of the
// key block: 0..255, or a G key). A key no position's default names cannot be remapped on this
// keyboard: whatever its entry says, no byte of any page changes.
[[nodiscard]] bool HasKeyPagePosition(std::size_t slot, const KeyDefaultTable& defaults);

// The page the keyboard should hold for one profile's block. `macroIds` are the ids of the
// macro list in list order: a Macro entry is sent as the position of its id there; an id that
// names no macro plays position 0.
[[nodiscard]] KeyPage EncodeKeyPage(const KeyBlock& block, std::span<const std::uint16_t> macroIds,
                                    const KeyDefaultTable& defaults);

struct DecodedKeyPage {
    KeyBlock block;
    // Empty for a sound page. Each line says what could not be taken over and why; the
    // positions concerned decode as Disabled (an action the tool does not know) or stay
    // Default (not present in a short page).
    std::vector<std::string> problems;
};

// Reads a page that came from the keyboard. Nothing outside `page` is read: the whole positions
// of a short page are decoded and the missing ones reported; bytes past 64 positions are
// ignored. A position equal to its default stays Default. Macro ids come back as position + 1,
// the ids a captured macro list gets.
[[nodiscard]] DecodedKeyPage DecodeKeyPage(Bytes page, const KeyDefaultTable& defaults);

}  // namespace qv::keys
