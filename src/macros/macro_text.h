#pragma once

// Macros written as text, for the command line and for showing a macro:
//
//   press LCtrl, press C, 30ms, release C, release LCtrl
//   tap A, wait 100, tap B
//
// Steps are separated by commas or line breaks. `press KEY` / `down KEY` presses a key,
// `release KEY` / `up KEY` releases it, `tap KEY` is a press and a release. A delay
// (`wait 100`, `100ms` or `100`) is the pause after the step before it, in milliseconds.
// Mouse buttons and the wheel are keys too ("Left Button", "Roll Up").

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "keys/key_names.h"
#include "macros/macro_record.h"

namespace qv::macros {

// Longer step texts are refused before they are split: 2000 actions of the longest step with
// its delay ("release Right Windows, then 40000 ms") take less.
inline constexpr std::size_t kMaxMacroTextBytes = 128 * 1024;

struct MacroTextError {
    std::string message;  // names the step (1-based) and what is wrong with it
};

[[nodiscard]] std::variant<std::vector<MacroAction>, MacroTextError> ParseMacroText(
    std::string_view text, const keys::TextLookupFn& lookup);

// One step a line: "press A, then 30 ms".
[[nodiscard]] std::string FormatMacroSteps(const std::vector<MacroAction>& actions,
                                           const keys::TextLookupFn& lookup);

}  // namespace qv::macros
