#pragma once

// The small fixed lists around the key table: consumer usages of the keyboard's media codes,
// the choices of the media, function and mouse pages, the modifier bit layout and the keys the
// hooks treat specially.

#include <array>
#include <cstdint>
#include <string_view>

#include "keys/key_code.h"

namespace qv::keys {

// Device codes 0xC0 + i send HID Consumer usage kConsumerCodeTable[i]; the device codes past
// the table (0xD2..) are functions the keyboard handles itself and have no usage.
inline constexpr DeviceKeyCode kFirstConsumerDeviceCode = 0xC0;
extern const std::array<std::uint16_t, 18> kConsumerCodeTable;

// A media assignment stores the index; the keyboard receives the usage; the key code only
// lends its name.
struct MediaChoice {
    std::uint16_t usage;
    KeyCode nameCode;
};
extern const std::array<MediaChoice, 18> kMediaTable;

// A function assignment stores the index, which is also what the keyboard receives.
extern const std::array<std::string_view, 11> kFunctionTable;

// Fixed English texts: the mouse drop-down is not localised.
struct MouseChoice {
    std::string_view text;
    KeyCode code;
};
extern const std::array<MouseChoice, 5> kMouseChoiceList;

// Bit i of the HID boot keyboard modifier byte is the key kModifierKeys[i].
extern const std::array<KeyCode, 8> kModifierKeys;

// Keys whose press never reaches a hook: only their release is seen.
extern const std::array<KeyCode, 4> kReleaseOnlyKeys;

}  // namespace qv::keys
