#pragma once

// Assignments written as text, for the command line:
//
//   default | disabled | stop-macro
//   key:NAME              another key or modifier ("key:Left Ctrl", "key:F5")
//   mouse:left|right|middle|wheel-up|wheel-down
//   macro:ID              with a repeat count 1..255
//   media:NAME            one of the media functions ("media:Mute")
//   function:NAME         one of the editing functions ("function:copy")
//
// and the slots a key name or a G key ("G1".."G18") stands for.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "keys/key_entry.h"
#include "keys/key_names.h"
#include "macros/macro_record.h"

namespace qv::keys {

struct AssignmentError {
    std::string message;
};

// `slot` decides the aux field: G key slots keep their code unless the entry plays a macro.
[[nodiscard]] std::variant<KeyEntry, AssignmentError> ParseAssignment(
    std::string_view text, int repeatCount, std::size_t slot,
    std::span<const macros::MacroRecord> macros, const TextLookupFn& lookup);

// The slot of a key name or of "G1".."G18"; nullopt for names that name no key.
[[nodiscard]] std::optional<std::size_t> ParseKeySlot(std::string_view text,
                                                      const TextLookupFn& lookup);

// What `media:` and `function:` accept, for help texts and errors.
[[nodiscard]] std::string MediaChoices(const TextLookupFn& lookup);
[[nodiscard]] std::string FunctionChoices();

}  // namespace qv::keys
