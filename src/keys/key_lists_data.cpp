#include "keys/key_lists.h"

namespace qv::keys {

// clang-format off
const std::array<std::uint16_t, 18> kConsumerCodeTable = {
    0x00E9,  // C0 Volume Increment
    0x00EA,  // C1 Volume Decrement
    0x0183,  // C2 AL Consumer Control Configuration (media player)
    0x018A,  // C3 AL Email Reader
    0x0192,  // C4 AL Calculator
    0x0194,  // C5 AL Local Machine Browser
    0x0221,  // C6 AC Search
    0x0223,  // C7 AC Home
    0x0224,  // C8 AC Back
    0x0225,  // C9 AC Forward
    0x0226,  // CA AC Stop
    0x0227,  // CB AC Refresh
    0x022A,  // CC AC Bookmarks
    0x00E2,  // CD Mute
    0x00CD,  // CE Play/Pause
    0x00B7,  // CF Stop
    0x00B6,  // D0 Scan Previous Track
    0x00B5,  // D1 Scan Next Track
};

// In the order of the media page's list.
const std::array<MediaChoice, 18> kMediaTable = {{
    {0x0183, 0x16D},  // Media Player
    {0x00CD, 0x122},  // Play/Pause
    {0x00B7, 0x124},  // Stop
    {0x00B6, 0x110},  // Previous Track
    {0x00B5, 0x119},  // Next Track
    {0x00EA, 0x12E},  // Volume down
    {0x00E9, 0x130},  // Volume up
    {0x00E2, 0x120},  // Mute
    {0x0223, 0x132},  // Browser Home
    {0x0227, 0x167},  // Browser Refresh
    {0x0226, 0x168},  // Browser Stop
    {0x0224, 0x16A},  // Browser Back
    {0x0225, 0x169},  // Browser Forward
    {0x022A, 0x166},  // Browser Favorites
    {0x0221, 0x165},  // Browser Search
    {0x0194, 0x16B},  // My Computer
    {0x0192, 0x121},  // Calculator
    {0x018A, 0x16C},  // Mail
}};
// clang-format on

const std::array<std::string_view, 11> kFunctionTable = {
    "IDS_COMPOSITE_FUNC_KEY_OPEN",       "IDS_COMPOSITE_FUNC_KEY_NEW",
    "IDS_COMPOSITE_FUNC_KEY_UNDO",       "IDS_COMPOSITE_FUNC_KEY_SAVE",
    "IDS_COMPOSITE_FUNC_KEY_COPY",       "IDS_COMPOSITE_FUNC_KEY_CUT",
    "IDS_COMPOSITE_FUNC_KEY_PASTE",      "IDS_COMPOSITE_FUNC_KEY_FIND",
    "IDS_COMPOSITE_FUNC_KEY_SELECT_ALL", "IDS_COMPOSITE_FUNC_KEY_ZOOMOUT",
    "IDS_COMPOSITE_FUNC_KEY_ZOOMIN",
};

const std::array<MouseChoice, 5> kMouseChoiceList = {{
    {"Left Button", kKeyMouseLeft},
    {"Right Button", kKeyMouseRight},
    {"Middle Button", kKeyMouseMiddle},
    {"Roll Up", kKeyRollUp},
    {"Roll Down", kKeyRollDown},
}};

const std::array<KeyCode, 8> kModifierKeys = {
    0x01D,  // Left Ctrl
    0x02A,  // Left Shift
    0x038,  // Left Alt
    0x15B,  // Left Win
    0x11D,  // Right Ctrl
    0x036,  // Right Shift
    0x138,  // Right Alt
    0x15C,  // Right Win
};

// Sys Req, the two Korean keys, Print Screen.
const std::array<KeyCode, 4> kReleaseOnlyKeys = {0x054, 0x071, 0x072, 0x137};

}  // namespace qv::keys
