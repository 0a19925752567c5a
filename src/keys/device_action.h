#pragma once

// The three-byte action the keyboard stores per key position, per default-table position and
// (with its kind folded into the action word) per macro step.
//
//   00 00 00  nothing            01 01 b  mouse button (1 left, 2 right, 4 middle)
//   01 05 w   wheel (1, 0xFF)    02 01 m  modifier bit     02 02 u  key with device code u
//   03 lo hi  consumer usage     04 lo hi system usage     05 00 00 no function
//   05 01 p   play macro p       05 02 00 stop macro       05 05 f  editing function f
//   06 A2 n   G key n (default table only)

#include <array>
#include <cstdint>

#include "core/bytes.h"
#include "keys/key_code.h"

namespace qv::keys {

struct DeviceAction {
    static constexpr std::size_t kSize = 3;

    std::uint8_t kind = 0;
    std::uint8_t sub = 0;
    std::uint8_t value = 0;

    [[nodiscard]] static DeviceAction FromBytes(Bytes bytes, std::size_t offset) {
        return {ReadU8(bytes, offset), ReadU8(bytes, offset + 1), ReadU8(bytes, offset + 2)};
    }
    void ToBytes(MutableBytes bytes, std::size_t offset) const {
        WriteU8(bytes, offset, kind);
        WriteU8(bytes, offset + 1, sub);
        WriteU8(bytes, offset + 2, value);
    }
    friend bool operator==(const DeviceAction&, const DeviceAction&) = default;
};

inline constexpr std::uint8_t kActionNone = 0;
inline constexpr std::uint8_t kActionMouse = 1;
inline constexpr std::uint8_t kActionKeyboard = 2;
inline constexpr std::uint8_t kActionConsumer = 3;
inline constexpr std::uint8_t kActionSystem = 4;
inline constexpr std::uint8_t kActionFunction = 5;
inline constexpr std::uint8_t kActionGKey = 6;

inline constexpr std::uint8_t kMouseButtons = 1;
inline constexpr std::uint8_t kMouseWheel = 5;
inline constexpr std::uint8_t kKeyboardModifier = 1;
inline constexpr std::uint8_t kKeyboardKey = 2;
inline constexpr std::uint8_t kFunctionPlayMacro = 1;
inline constexpr std::uint8_t kFunctionStopMacro = 2;
inline constexpr std::uint8_t kFunctionEdit = 5;
inline constexpr std::uint8_t kGKeyMarker = 0xA2;

// The KeyCode an action names, or kNoKey (functions, nothing, unknown patterns).
[[nodiscard]] KeyCode DecodeDeviceAction(DeviceAction action);

// What a key position sends when assigned a key: modifiers as their bit, the mouse buttons and
// wheel as mouse actions, any other key as 02 02 with its device code (0 for keys the keyboard
// cannot send, such as system keys).
[[nodiscard]] DeviceAction KeyAssignmentAction(KeyCode code);

// A macro step's action for a key: keyboard keys and modifiers (kind 2), mouse buttons and
// wheel (kind 1), system keys (kind 4 with the system code), nothing (kind 0).
[[nodiscard]] DeviceAction MacroStepAction(KeyCode code);

}  // namespace qv::keys
