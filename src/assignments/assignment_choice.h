#pragma once

// The assignment dialog's rules without its widgets: which page and choices a key's entry opens
// on, which key events the single-key page captures, and the entry a choice becomes at Apply.
// The command line's `assign` builds its entries with the same rules (assignment_spec.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "assignments/assignment_spec.h"
#include "keys/key_entry.h"
#include "macros/macro_record.h"

namespace qv::keys {

// The dialog's pages. Default is the single-key page showing a key reset to its default.
enum class AssignmentPage : std::uint8_t { Default, SingleKey, Macro, Media, Function };

// What the dialog's controls hold.
struct AssignmentChoice {
    AssignmentPage page = AssignmentPage::Default;
    bool mouse = false;                // single-key page: the mouse choice instead of a key
    KeyCode capturedKey = kNoKey;      // single-key page, keyboard mode
    std::size_t mouseChoice = 0;       // index into kMouseChoiceList
    std::optional<std::size_t> macro;  // position in the macro list; none when it is empty
    int repeatCount = 1;               // of the chosen macro, 1..255
    std::size_t media = 0;             // index into kMediaTable
    std::size_t function = 0;          // index into kFunctionTable

    friend bool operator==(const AssignmentChoice&, const AssignmentChoice&) = default;
};

// The choice a key's entry opens on. Kinds the dialog has no page for (Disabled, a launched
// program, a text) open as Default; a macro the list lacks opens on the first macro.
[[nodiscard]] AssignmentChoice ChoiceForEntry(const KeyEntry& entry, std::size_t slot,
                                              std::span<const macros::MacroRecord> macros);

// The entry `choice` gives the key in `slot`, or why it cannot have it: a key outside the key
// choice list, a list position out of range, a macro-only key given anything but a macro. A
// key given itself, and the macro page with an empty list, give Default. A macro entry carries
// the macro's repeat count, which the caller also stores in the macro itself.
[[nodiscard]] std::variant<KeyEntry, AssignmentError> EntryForChoice(
    const AssignmentChoice& choice, std::size_t slot, std::span<const macros::MacroRecord> macros);

// How a key event reached the single-key page.
enum class KeyEventKind : std::uint8_t { Press, AutoRepeat, Release };

// The key a key event captures, or none: fresh presses of keys the table names capture; Print
// Screen (whose press the desktop keeps to itself) captures on its release; media keys never
// capture and keep working.
[[nodiscard]] std::optional<KeyCode> CapturedKey(KeyCode code, KeyEventKind kind);

}  // namespace qv::keys
