#include "keys/device_key_codes.h"

#include <algorithm>
#include <iterator>

#include "keys/key_lists.h"
#include "keys/key_table.h"

namespace qv::keys {
namespace {

bool IsSystemDeviceCode(std::uint16_t code) {
    return code >= 0x81 && code <= 0x83;
}

// The device code the keyboard would use for `code`, or 0 when it has none.
std::uint16_t DeviceCodeFrom(KeyClass keyClass, std::uint16_t code) {
    switch (keyClass) {
        case KeyClass::Keyboard:
            return code;
        case KeyClass::System:
            return IsSystemDeviceCode(code) ? code : 0;
        case KeyClass::Consumer: {
            // Usage 0 would match nothing real; it is not a consumer key.
            if (code == 0) {
                return 0;
            }
            const auto it = std::find(kConsumerCodeTable.begin(), kConsumerCodeTable.end(), code);
            if (it == kConsumerCodeTable.end()) {
                return 0;
            }
            return static_cast<std::uint16_t>(kFirstConsumerDeviceCode +
                                              std::distance(kConsumerCodeTable.begin(), it));
        }
        default:
            return 0;
    }
}

}  // namespace

ClassifiedKey ClassifyKeyCode(KeyCode code) {
    const DeviceKeyCode device = KeyRecordOf(code).deviceCode;
    if (device == 0x00 || device == 0xFF) {
        return {};
    }
    if (IsSystemDeviceCode(device)) {
        return {KeyClass::System, device};
    }
    if (device >= 0xF1 && device <= 0xF8) {
        return {KeyClass::Mouse, device};
    }
    return {KeyClass::Keyboard, device};
}

KeyCode KeyCodeFromDevice(KeyClass keyClass, std::uint16_t code) {
    const std::uint16_t device = DeviceCodeFrom(keyClass, code);
    // 0 and 0xFF mean "none" on the keyboard; rows without a device code hold 0 as well.
    if (device == 0x00 || device >= 0xFF) {
        return kNoKey;
    }
    const auto row = std::find_if(kKeyTable.begin(), kKeyTable.end(),
                                  [device](const KeyRecord& r) { return r.deviceCode == device; });
    if (row == kKeyTable.end()) {
        return kNoKey;
    }
    return IndexToKeyCode(static_cast<KeyIndex>(row - kKeyTable.begin()));
}

KeyCode ModifierBitToKeyCode(std::uint8_t bits) {
    for (std::size_t bit = 0; bit < kModifierKeys.size(); ++bit) {
        if ((bits >> bit) & 1U) {
            return kModifierKeys[bit];
        }
    }
    return kNoKey;
}

std::uint8_t ModifierBitFromKeyCode(KeyCode code) {
    const auto it = std::find(kModifierKeys.begin(), kModifierKeys.end(), code);
    if (code == kNoKey || it == kModifierKeys.end()) {
        return 0;
    }
    return static_cast<std::uint8_t>(1U << std::distance(kModifierKeys.begin(), it));
}

}  // namespace qv::keys
