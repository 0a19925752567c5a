#pragma once

// Between KeyCodes and what the keyboard itself stores and sends: its one-byte device codes,
// HID consumer and system usages, and the bits of the modifier byte.

#include <cstdint>

#include "keys/key_code.h"

namespace qv::keys {

// The values of System, Keyboard and Consumer are the HID usage pages those codes come from.
enum class KeyClass : std::uint8_t {
    None = 0,
    System = 1,
    Mouse = 2,
    Keyboard = 7,
    Consumer = 12,  // an input of KeyCodeFromDevice only: the code is a consumer usage
};

struct ClassifiedKey {
    KeyClass keyClass = KeyClass::None;
    DeviceKeyCode deviceCode = 0;

    friend bool operator==(const ClassifiedKey&, const ClassifiedKey&) = default;
};

// Media and function codes (0xC0..0xD5) count as Keyboard: the keyboard sends them with the
// plain key action.
[[nodiscard]] ClassifiedKey ClassifyKeyCode(KeyCode code);

// Keyboard: `code` is a device code; System: a device code 0x81..0x83; Consumer: a consumer
// usage. kNoKey when nothing matches or for any other class.
[[nodiscard]] KeyCode KeyCodeFromDevice(KeyClass keyClass, std::uint16_t code);

// The key of the lowest set bit; a byte may carry several modifiers but an action names one.
[[nodiscard]] KeyCode ModifierBitToKeyCode(std::uint8_t bits);

// 0 for a code that is not one of the eight modifiers.
[[nodiscard]] std::uint8_t ModifierBitFromKeyCode(KeyCode code);

}  // namespace qv::keys
