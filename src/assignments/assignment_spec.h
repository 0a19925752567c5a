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
//
// Only what the keyboard can perform is accepted, as in the assignment dialog: key: takes the
// keys of the key choice list (AssignableKeys), the ninth G key of each bank takes macros only,
// and a key given itself is back at its default.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "keys/key_entry.h"
#include "keys/key_names.h"
#include "keys/key_page.h"
#include "macros/macro_record.h"

namespace qv::keys {

struct AssignmentError {
    std::string message;
};

// `slot` decides the aux field: G key slots keep their code unless the entry plays a macro.
// Does not look at the keyboard's key pages: whether the keyboard can hold the entry is
// CheckKeyEntry's to say (entry_rules.h), for every front end alike.
[[nodiscard]] std::variant<KeyEntry, AssignmentError> ParseAssignment(
    std::string_view text, int repeatCount, std::size_t slot,
    std::span<const macros::MacroRecord> macros, const TextLookupFn& lookup);

// The slot of a key name or of "G1".."G18"; nullopt for names that name no key.
[[nodiscard]] std::optional<std::size_t> ParseKeySlot(std::string_view text,
                                                      const TextLookupFn& lookup);

// How messages name a slot: "G1".."G18" for the G keys, the key's name otherwise.
[[nodiscard]] std::string KeySlotName(std::size_t slot, const TextLookupFn& lookup);

// A Key entry sending `target` (a key of the key choice list, a mouse button or the wheel);
// Default when the key would send itself or `target` is no key.
[[nodiscard]] KeyEntry EntryForKey(KeyCode target, std::size_t slot);

// The ninth G key of either bank: the dialog opens it on its macro page alone.
[[nodiscard]] bool IsMacroOnlySlot(std::size_t slot);

// What `media:` and `function:` accept, for help texts and errors.
[[nodiscard]] std::string MediaChoices(const TextLookupFn& lookup);
[[nodiscard]] std::string FunctionChoices();

// The nearest media and function names to a mistyped one (see name_suggestions.h).
[[nodiscard]] std::vector<std::string> SuggestMediaNames(std::string_view typed,
                                                         const TextLookupFn& lookup);
[[nodiscard]] std::vector<std::string> SuggestFunctionNames(std::string_view typed,
                                                            const TextLookupFn& lookup);

}  // namespace qv::keys
