#pragma once

// A macro as the tool holds it: a named list of key, modifier and mouse steps, each with the
// pause after it, played by the keyboard `repeatCount` times per press.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keys/key_code.h"

namespace qv::macros {

inline constexpr std::size_t kMaxMacros = 100;
inline constexpr std::size_t kMaxMacroActions = 2000;
inline constexpr std::uint32_t kMaxMacroDelayMs = 40000;
inline constexpr std::size_t kMaxMacroNameLength = 249;  // UTF-16 units, terminator excluded
inline constexpr int kMinRepeatCount = 1;
inline constexpr int kMaxRepeatCount = 255;
inline constexpr std::uint16_t kMinMacroId = 1;
inline constexpr std::uint16_t kMaxMacroId = 100;

enum class KeyState : std::uint16_t { Press = 0, Release = 1 };

struct MacroAction {
    std::uint32_t delay = 0;  // milliseconds after this step, 0..40,000
    keys::KeyCode key = keys::kNoKey;
    KeyState state = KeyState::Press;

    friend bool operator==(const MacroAction&, const MacroAction&) = default;
};

struct MacroRecord {
    std::u16string name;
    std::uint8_t repeatCount = 1;
    std::uint16_t newFlag = 0;  // 1 while added in the open dialog and not yet applied
    std::uint16_t macroId = 0;  // 1..100, unique within the list
    std::vector<MacroAction> actions;

    friend bool operator==(const MacroRecord&, const MacroRecord&) = default;
};

using MacroList = std::vector<MacroRecord>;

}  // namespace qv::macros
