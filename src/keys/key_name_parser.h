#pragma once

// Turning a key name a user typed into a KeyCode: the key's shown name ("Backspace", "Num 7")
// or the short name of its text key ("BS", "S_7"), in any case, with or without spaces,
// dashes and underscores; or the code itself in hex ("0x01E").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/key_code.h"
#include "keys/key_names.h"

namespace qv::keys {

struct NamedKey {
    KeyCode code = kNoKey;
    std::string name;       // as shown
    std::string shortName;  // from the text key, upper case
};

// Every key of the table that has a name, once each, in table order: all the keys a macro step
// or a key message can name. AssignableKeys (assignable_keys.h) is the part a key can be
// assigned.
[[nodiscard]] std::vector<NamedKey> NamedKeys(const TextLookupFn& lookup);

[[nodiscard]] std::optional<KeyCode> ParseKeyName(std::string_view text,
                                                  const TextLookupFn& lookup);

// Lower case without blanks, '-' and '_', so "Page Up", "page-up" and "PAGE_UP" meet; a name of
// dashes and underscores alone ("-") keeps them, without blanks.
[[nodiscard]] std::string NormalizeKeyName(std::string_view text);

}  // namespace qv::keys
