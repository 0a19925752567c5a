#pragma once

// The one vocabulary for keys: a KeyCode is the set-1 scan code with 0x100 for E0-prefixed
// keys, plus pseudo codes for mouse buttons, the wheel and program functions, so that all of
// them can be named and stored like keys. A KeyIndex is the slot a code occupies in the key
// table and in the per-profile key blocks.

#include <cstdint>

namespace qv::keys {

using KeyCode = std::uint16_t;
using KeyIndex = std::uint16_t;
using KeyListId = std::uint16_t;
using DeviceKeyCode = std::uint8_t;

inline constexpr KeyCode kNoKey = 0;

// Slots 0..255 hold the keys of the key table; the G keys follow them.
inline constexpr KeyIndex kKeySlotCount = 256;

// Codes the keyboard never sends; they stand for mouse actions.
inline constexpr KeyCode kKeyRollUp = 0x161;
inline constexpr KeyCode kKeyRollDown = 0x162;
inline constexpr KeyCode kKeyMouseLeft = 0x171;
inline constexpr KeyCode kKeyMouseRight = 0x172;
inline constexpr KeyCode kKeyMouseMiddle = 0x173;

// Right Shift has a second (fake-shift) code 0x136; 0x036 is the one every lookup settles on.
inline constexpr KeyCode kKeyRightShift = 0x036;
inline constexpr KeyCode kKeyPrintScreen = 0x137;

// G key n (1..18) is 0x1FF + n; its slot is 255 + n, right after the key table.
inline constexpr int kGKeyCount = 18;
[[nodiscard]] constexpr KeyCode GKeyCode(int number) {
    return static_cast<KeyCode>(0x1FF + number);
}

// Extended codes (0x100..0x1FF) fold onto the upper half of the table: E0 scan codes are all
// below 0x80, so they land on slots 0x80..0xFF that plain scan codes never use.
[[nodiscard]] constexpr KeyIndex KeyCodeToIndex(KeyCode code) {
    if (code < 0x100) {
        return code;
    }
    if (code < 0x200) {
        return static_cast<KeyIndex>((code + 0x80) & 0xFF);
    }
    return static_cast<KeyIndex>(code - 0x100);
}

// Defined for the key table's slots only; anything past them is no key.
[[nodiscard]] constexpr KeyCode IndexToKeyCode(KeyIndex index) {
    if (index < 0x80) {
        return index;
    }
    if (index < kKeySlotCount) {
        return static_cast<KeyCode>(index + 0x80);
    }
    return kNoKey;
}

}  // namespace qv::keys
