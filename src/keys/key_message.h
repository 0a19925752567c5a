#pragma once

// Naming the key of a Windows key message. A message carries both the VK and the scan code;
// the scan code is the finer of the two (it tells the keypad from the navigation block), but a
// VK that software has remapped no longer matches it, and then the VK is what the user meant.

#include <cstdint>

#include "keys/key_code.h"

namespace qv::keys {

[[nodiscard]] KeyCode KeyCodeFromVk(std::uint8_t vk);

// `lParam` as the message carries it: scan code in bits 16..23, extended flag in bit 24.
[[nodiscard]] KeyCode KeyCodeFromKeyMessage(std::uint8_t vk, std::uint32_t lParam);

}  // namespace qv::keys
