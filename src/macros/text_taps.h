#pragma once

// Typing a text with a macro: each character becomes the taps of the key that types it on a US
// keyboard layout, with Shift held around the characters that need it ("Hi!" is press Left
// Shift, tap H, release Left Shift, tap I, press Left Shift, tap 1, release Left Shift).

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "keys/key_code.h"
#include "macros/macro_record.h"

namespace qv::macros {

struct UsLayoutKey {
    keys::KeyCode key = keys::kNoKey;
    bool shifted = false;
};

// The key (and whether Shift goes with it) that types a character; kNoKey for a character the
// layout has no key for. A line break is Enter, a tab Tab.
[[nodiscard]] UsLayoutKey UsLayoutKeyOf(char32_t character);

struct TextTapsError {
    enum class Kind {
        Empty,         // no characters at all
        NoKey,         // `character` has no key on the layout
        TooManySteps,  // the taps up to `character` would pass the 2000 steps of a macro
    };
    Kind kind = Kind::Empty;
    char32_t character = 0;
    std::size_t position = 0;  // of `character`, counting characters from 1
};

// The steps that type `utf8Text`, each followed by `delayMs` (0..40,000). A line break written
// as CR LF is one Enter. Malformed UTF-8 counts as U+FFFD, which has no key.
[[nodiscard]] std::variant<std::vector<MacroAction>, TextTapsError> TextToTaps(
    std::string_view utf8Text, std::uint32_t delayMs = 0);

}  // namespace qv::macros
