#pragma once

// Which keys a key can be made to send: the keys of the key choice list, the list the
// assignment dialog's single-key page offers (letters, digits, punctuation, F1..F12, the
// navigation, lock and keypad keys, the ISO key, Application and the eight modifiers). The
// table's other rows (media keys, mouse actions, program functions, Sys Req, the international
// keys) are named and stored like keys but are not targets of a key assignment: media keys and
// mouse actions have their own pages, the rest the keyboard cannot send.

#include <vector>

#include "keys/key_code.h"
#include "keys/key_name_parser.h"
#include "keys/key_names.h"

namespace qv::keys {

// True for the first row of every key choice list id: Right Shift's second code 0x136 is not
// a choice of its own, 0x036 is.
[[nodiscard]] bool IsAssignableKey(KeyCode code);

// The key choice list in list order, one entry per key, named as the app shows it.
[[nodiscard]] std::vector<NamedKey> AssignableKeys(const TextLookupFn& lookup);

}  // namespace qv::keys
