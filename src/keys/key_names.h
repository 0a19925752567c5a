#pragma once

// Display names of keys and functions. Names come from the localised-string lookup, which the
// caller hands in, so the tables stay free of any file or language state.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "keys/key_code.h"
#include "keys/unknown_key_format.h"

namespace qv::keys {

// The localised-string lookup: the text for a lookup key (a missing key yields the lookup's
// own fall-back text, an empty value the empty string).
using TextLookupFn = std::function<std::string(const std::string& key)>;

// Every place that shows a key name is laid out for at most 259 characters (a 260-character
// buffer with its terminator); a longer translation is cut rather than let it grow a cell.
inline constexpr std::size_t kKeyNameCapacity = 260;

// The built-in text of the UNKNOWN_KEY slot. The slot keeps it for the whole run and it is
// itself the lookup key of the localised format.
inline constexpr std::string_view kUnknownKeySlotText = kBuiltInUnknownKeyFormat;

// A key without a name of its own (or whose name translates to nothing) is named by the
// localised unknown-key format applied to its code. The result holds at most capacity - 1
// characters.
[[nodiscard]] std::string KeyName(KeyCode code, const TextLookupFn& lookup,
                                  std::size_t capacity = kKeyNameCapacity);

// For the key choice list: empty when no row has the id or the row has no name key. There is
// no unknown-key fall-back, so an unnamed key simply shows an empty entry.
[[nodiscard]] std::string KeyNameByListId(KeyListId listId, const TextLookupFn& lookup);

// Localised name of function `index` of the function page; empty past the table.
[[nodiscard]] std::string FunctionName(std::size_t index, const TextLookupFn& lookup);

}  // namespace qv::keys
