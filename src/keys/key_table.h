#pragma once

// The fixed key table: for every slot the Windows virtual key the key produces, its place in
// the key choice list, the keyboard's own code for it and the key of its localised name.
// VKs are Windows virtual-key codes on every platform: they are part of what the table means,
// not of the system the tool runs on.

#include <array>
#include <cstdint>
#include <string_view>

#include "keys/key_code.h"

namespace qv::keys {

struct KeyRecord {
    std::uint8_t vk = 0;  // 0xFF where the key has no VK
    KeyListId listId = 0xFFFF;
    std::uint8_t vkWithoutNumLock = 0;  // differs from vk on the keypad only
    DeviceKeyCode deviceCode = 0;       // 0 = the keyboard cannot send it
    std::string_view nameKey;           // empty = the key has no name of its own
};

// List ids 0..105 are positions in the key choice list; 107..111 name the mouse buttons and
// the wheel, which the list leaves out; 0x8001.. are keys outside the list.
inline constexpr KeyListId kKeyChoiceCount = 106;
inline constexpr KeyListId kFirstSpecialListId = 0x8001;
inline constexpr KeyListId kEmptyListId = 0xFFFF;

inline constexpr std::uint8_t kNoVk = 0xFF;

extern const std::array<KeyRecord, kKeySlotCount> kKeyTable;

// Windows VK -> KeyCode, for hooks that see a VK the scan code does not explain.
extern const std::array<KeyCode, 256> kVkTable;

// The row of a code; G keys and other codes past the table get the empty record.
[[nodiscard]] const KeyRecord& KeyRecordOf(KeyCode code);

}  // namespace qv::keys
