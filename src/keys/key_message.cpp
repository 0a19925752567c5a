#include "keys/key_message.h"

#include "keys/key_table.h"

namespace qv::keys {

KeyCode KeyCodeFromVk(std::uint8_t vk) {
    return kVkTable[vk];
}

KeyCode KeyCodeFromKeyMessage(std::uint8_t vk, std::uint32_t lParam) {
    const auto scan = static_cast<KeyCode>((lParam >> 16) & 0x1FF);
    // The system reports Right Shift with a VK that does not tell the sides apart; its scan
    // code is unambiguous.
    if (scan == kKeyRightShift) {
        return scan;
    }
    if (vk == kNoVk) {
        return scan;
    }
    const auto low = static_cast<std::uint8_t>(scan & 0xFF);
    if (low == 0) {
        return KeyCodeFromVk(vk);
    }
    const KeyRecord& row = KeyRecordOf(scan);
    // The low byte is compared with the VK's slot so that a sideless VK (Ctrl, Alt) keeps the
    // right-hand key's extended code.
    if (row.vk == vk || row.vkWithoutNumLock == vk || low == KeyCodeToIndex(KeyCodeFromVk(vk))) {
        return scan;
    }
    return KeyCodeFromVk(vk);
}

}  // namespace qv::keys
