#pragma once

// Whether the keyboard can hold a key entry: the one check both front ends' edits pass before
// anything is stored, so that nothing the key pages cannot carry is ever shown as assigned.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "keys/key_entry.h"
#include "keys/key_page.h"
#include "macros/macro_record.h"

namespace qv::keys {

enum class EntryRefusal : std::uint8_t {
    // The slot is no key of the key block.
    NoSuchKey,
    // No position of the keyboard's key pages belongs to the key: it cannot be remapped.
    NotRemappable,
    // The ninth G key of a bank plays macros only.
    MacroOnlyKey,
    // The entry names something the keyboard cannot send: a key outside the key choice list,
    // a media or editing function outside its table, a kind the tool does not write.
    TargetNotSendable,
    // A macro entry names no macro of the list.
    NoSuchMacro,
};

// Nothing when the keyboard can hold `entry` for the key in `slot`; `defaults` is the
// keyboard's key default table (the built-in one until it has been read). Default is always
// accepted: it only clears the entry.
[[nodiscard]] std::optional<EntryRefusal> CheckKeyEntry(
    std::size_t slot, const KeyEntry& entry, const KeyDefaultTable& defaults,
    std::span<const macros::MacroRecord> macros);

// Whether the key in `slot` can be given anything but its default on this keyboard.
[[nodiscard]] bool IsRemappable(std::size_t slot, const KeyDefaultTable& defaults);

}  // namespace qv::keys
