#pragma once

// Whether the keyboard's key pages carry a key entry as it is meant. EncodeKeyPage never fails:
// what it cannot send it hides (an unknown kind or a media index past the table keeps the
// position's default, a key the keyboard cannot send goes out as 02 02 00, an id no macro has
// plays the first macro). An entry from outside the tool is looked at here first, so that what
// would be hidden can be refused or dropped in the open.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "keys/key_entry.h"

namespace qv::keys {

enum class EntryFault : std::uint8_t {
    UnknownKind,     // a kind above Function: no writer of the format makes one
    NotAKey,         // a slot past the G keys, which no key uses
    UnsendableKey,   // a Key entry whose value the key pages give back as another key or none
    NoSuchMedia,     // a media index past the media table
    NoSuchFunction,  // an editing function past the one byte the page gives it
    NoSuchMacro,     // a macro id that no macro of the list has
};

// Nothing for an entry the keyboard carries as meant, for Default, and for Launch program and
// Text block (files keep those for the tool; the keyboard's default stays in force for them).
// `macroIds` are the ids of the macro list the entry goes with.
[[nodiscard]] std::optional<EntryFault> FindEntryFault(std::size_t slot, const KeyEntry& entry,
                                                       std::span<const std::uint16_t> macroIds);

// What is wrong, in words that name the entry's values ("kind 65535 is not a kind of key
// assignment").
[[nodiscard]] std::string EntryFaultText(EntryFault fault, const KeyEntry& entry);

}  // namespace qv::keys
