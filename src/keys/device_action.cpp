#include "keys/device_action.h"

#include "keys/device_key_codes.h"

namespace qv::keys {
namespace {

struct MouseAction {
    KeyCode code;
    std::uint8_t sub;
    std::uint8_t value;
};

constexpr std::array<MouseAction, 5> kMouseActions{{
    {kKeyMouseLeft, kMouseButtons, 0x01},
    {kKeyMouseRight, kMouseButtons, 0x02},
    {kKeyMouseMiddle, kMouseButtons, 0x04},
    {kKeyRollUp, kMouseWheel, 0x01},
    {kKeyRollDown, kMouseWheel, 0xFF},
}};

const MouseAction* FindMouse(KeyCode code) {
    for (const MouseAction& mouse : kMouseActions) {
        if (mouse.code == code) {
            return &mouse;
        }
    }
    return nullptr;
}

}  // namespace

KeyCode DecodeDeviceAction(DeviceAction action) {
    switch (action.kind) {
        case kActionMouse:
            for (const MouseAction& mouse : kMouseActions) {
                if (mouse.sub == action.sub && mouse.value == action.value) {
                    return mouse.code;
                }
            }
            return kNoKey;
        case kActionKeyboard:
            return action.sub == kKeyboardKey ? KeyCodeFromDevice(KeyClass::Keyboard, action.value)
                                              : ModifierBitToKeyCode(action.value);
        case kActionConsumer:
            return KeyCodeFromDevice(KeyClass::Consumer,
                                     static_cast<std::uint16_t>(action.sub | action.value << 8));
        case kActionSystem:
            return KeyCodeFromDevice(KeyClass::System,
                                     static_cast<std::uint16_t>(action.sub | action.value << 8));
        case kActionGKey:
            return action.sub == kGKeyMarker ? static_cast<KeyCode>(0x1FF + action.value) : kNoKey;
        default:
            return kNoKey;
    }
}

DeviceAction KeyAssignmentAction(KeyCode code) {
    if (const std::uint8_t bit = ModifierBitFromKeyCode(code); bit != 0) {
        return {kActionKeyboard, kKeyboardModifier, bit};
    }
    if (const MouseAction* mouse = FindMouse(code)) {
        return {kActionMouse, mouse->sub, mouse->value};
    }
    const ClassifiedKey key = ClassifyKeyCode(code);
    return {kActionKeyboard, kKeyboardKey,
            key.keyClass == KeyClass::Keyboard ? key.deviceCode : std::uint8_t{0}};
}

DeviceAction MacroStepAction(KeyCode code) {
    const ClassifiedKey key = ClassifyKeyCode(code);
    switch (key.keyClass) {
        case KeyClass::Keyboard:
            if (const std::uint8_t bit = ModifierBitFromKeyCode(code); bit != 0) {
                return {kActionKeyboard, kKeyboardModifier, bit};
            }
            return {kActionKeyboard, kKeyboardKey, key.deviceCode};
        case KeyClass::Mouse:
            if (const MouseAction* mouse = FindMouse(code)) {
                return {kActionMouse, mouse->sub, mouse->value};
            }
            return {};
        case KeyClass::System:
            return {kActionSystem, key.deviceCode, 0};
        default:
            return {};
    }
}

}  // namespace qv::keys
