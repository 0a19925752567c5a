#include "keys/evdev_key_codes.h"

#include <algorithm>
#include <array>

namespace qv::keys {
namespace {

struct EvdevKey {
    EvdevCode evdev;
    KeyCode code;
};

// Evdev codes 1..88 are the set-1 scan codes of the PC keyboard, with two exceptions: Linux
// gives 69 to Num Lock and a code of its own to Pause, while the KeyCodes follow the Windows
// convention (Num Lock 0x145, Pause 0x045). Everything past 88 is listed one by one.
// clang-format off
constexpr std::array kEvdevKeys = {
    EvdevKey{69, 0x145},    // KEY_NUMLOCK
    EvdevKey{89, 0x073},    // KEY_RO
    EvdevKey{92, 0x079},    // KEY_HENKAN
    EvdevKey{93, 0x070},    // KEY_KATAKANAHIRAGANA
    EvdevKey{94, 0x07B},    // KEY_MUHENKAN
    EvdevKey{96, 0x11C},    // KEY_KPENTER
    EvdevKey{97, 0x11D},    // KEY_RIGHTCTRL
    EvdevKey{98, 0x135},    // KEY_KPSLASH
    EvdevKey{99, 0x137},    // KEY_SYSRQ (the Print Screen key)
    EvdevKey{100, 0x138},   // KEY_RIGHTALT
    EvdevKey{102, 0x147},   // KEY_HOME
    EvdevKey{103, 0x148},   // KEY_UP
    EvdevKey{104, 0x149},   // KEY_PAGEUP
    EvdevKey{105, 0x14B},   // KEY_LEFT
    EvdevKey{106, 0x14D},   // KEY_RIGHT
    EvdevKey{107, 0x14F},   // KEY_END
    EvdevKey{108, 0x150},   // KEY_DOWN
    EvdevKey{109, 0x151},   // KEY_PAGEDOWN
    EvdevKey{110, 0x152},   // KEY_INSERT
    EvdevKey{111, 0x153},   // KEY_DELETE
    EvdevKey{113, 0x120},   // KEY_MUTE
    EvdevKey{114, 0x12E},   // KEY_VOLUMEDOWN
    EvdevKey{115, 0x130},   // KEY_VOLUMEUP
    EvdevKey{116, 0x15E},   // KEY_POWER
    EvdevKey{119, 0x045},   // KEY_PAUSE
    EvdevKey{121, 0x07E},   // KEY_KPCOMMA
    EvdevKey{122, 0x072},   // KEY_HANGEUL
    EvdevKey{123, 0x071},   // KEY_HANJA
    EvdevKey{124, 0x07D},   // KEY_YEN
    EvdevKey{125, 0x15B},   // KEY_LEFTMETA
    EvdevKey{126, 0x15C},   // KEY_RIGHTMETA
    EvdevKey{127, 0x15D},   // KEY_COMPOSE
    EvdevKey{128, 0x168},   // KEY_STOP
    EvdevKey{140, 0x121},   // KEY_CALC
    EvdevKey{142, 0x15F},   // KEY_SLEEP
    EvdevKey{143, 0x163},   // KEY_WAKEUP
    EvdevKey{144, 0x16B},   // KEY_FILE
    EvdevKey{155, 0x16C},   // KEY_MAIL
    EvdevKey{156, 0x166},   // KEY_BOOKMARKS
    EvdevKey{158, 0x16A},   // KEY_BACK
    EvdevKey{159, 0x169},   // KEY_FORWARD
    EvdevKey{163, 0x119},   // KEY_NEXTSONG
    EvdevKey{164, 0x122},   // KEY_PLAYPAUSE
    EvdevKey{165, 0x110},   // KEY_PREVIOUSSONG
    EvdevKey{166, 0x124},   // KEY_STOPCD
    EvdevKey{171, 0x16D},   // KEY_CONFIG
    EvdevKey{172, 0x132},   // KEY_HOMEPAGE
    EvdevKey{173, 0x167},   // KEY_REFRESH
    EvdevKey{183, 0x064},   // KEY_F13
    EvdevKey{217, 0x165},   // KEY_SEARCH
    EvdevKey{0x19B, 0x146}, // KEY_BREAK
};
// clang-format on

constexpr bool IsSortedAndUnique() {
    for (std::size_t i = 1; i < kEvdevKeys.size(); ++i) {
        if (kEvdevKeys[i - 1].evdev >= kEvdevKeys[i].evdev) {
            return false;
        }
    }
    return true;
}
static_assert(IsSortedAndUnique(), "the evdev list is searched in order");

// The evdev codes that equal the set-1 scan code.
constexpr bool IsScanCodeRange(EvdevCode evdev) {
    return (evdev >= 1 && evdev <= 83 && evdev != 69) || (evdev >= 86 && evdev <= 88);
}

}  // namespace

KeyCode KeyCodeFromEvdev(EvdevCode evdev) {
    if (IsScanCodeRange(evdev)) {
        return evdev;
    }
    const auto it =
        std::lower_bound(kEvdevKeys.begin(), kEvdevKeys.end(), evdev,
                         [](const EvdevKey& key, EvdevCode value) { return key.evdev < value; });
    return it != kEvdevKeys.end() && it->evdev == evdev ? it->code : kNoKey;
}

KeyCode KeyCodeFromXkbKeycode(std::uint32_t xkbKeycode) {
    if (xkbKeycode < kXkbKeycodeOffset || xkbKeycode - kXkbKeycodeOffset > 0xFFFF) {
        return kNoKey;
    }
    return KeyCodeFromEvdev(static_cast<EvdevCode>(xkbKeycode - kXkbKeycodeOffset));
}

}  // namespace qv::keys
