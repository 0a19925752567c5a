#pragma once

// Linux input event key codes (the evdev codes of <linux/input-event-codes.h>) and KeyCodes.
// Key capture and macro recording on Linux see evdev codes where Windows hooks see scan codes;
// this mapping gives them the same KeyCode the Windows key message would.
//
// Keys of the key table that no evdev code reaches:
// - Sys Req (0x054): Linux reports Alt+Print Screen as KEY_SYSRQ, the Print Screen key itself;
// - the second Right Shift code (0x136): the kernel folds the fake shift into KEY_RIGHTSHIFT;
// - the mouse and function pseudo codes (0x161, 0x162, 0x16E..0x17E), which are no keys.
// Break (Ctrl+Pause) arrives as KEY_PAUSE with Ctrl held; only the rare KEY_BREAK maps to it.
// Media and system keys use the codes the kernel gives the keyboard's own HID usages
// (My Computer is KEY_FILE, Media Player KEY_CONFIG).

#include <cstdint>

#include "keys/key_code.h"

namespace qv::keys {

using EvdevCode = std::uint16_t;

// X11 and XKB key codes are evdev codes plus 8; that is what Qt reports as the native scan
// code on Linux.
inline constexpr std::uint32_t kXkbKeycodeOffset = 8;

// kNoKey for an evdev code that names no key of the table.
[[nodiscard]] KeyCode KeyCodeFromEvdev(EvdevCode evdev);
[[nodiscard]] KeyCode KeyCodeFromXkbKeycode(std::uint32_t xkbKeycode);

}  // namespace qv::keys
