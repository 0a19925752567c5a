#include <gtest/gtest.h>

#include <map>
#include <set>

#include "keys/evdev_key_codes.h"
#include "keys/key_table.h"

#if __has_include(<linux/input-event-codes.h>)
#include <linux/input-event-codes.h>
#define QV_HAVE_EVDEV_HEADER 1
#endif

namespace qv::keys {
namespace {

constexpr EvdevCode kLastEvdevCode = 0x2FF;  // KEY_MAX

bool IsPseudoKey(KeyCode code) {
    return code == kKeyRollUp || code == kKeyRollDown || (code >= 0x16E && code <= 0x17E);
}

// Keys Linux has no evdev code of their own for.
const std::set<KeyCode> kUnreachable = {0x054, 0x136};

TEST(EvdevKeyCodes, EveryRealKeyIsReachableFromExactlyOneCode) {
    std::map<KeyCode, std::vector<EvdevCode>> sources;
    for (EvdevCode evdev = 0; evdev <= kLastEvdevCode; ++evdev) {
        const KeyCode code = KeyCodeFromEvdev(evdev);
        if (code != kNoKey) {
            sources[code].push_back(evdev);
            EXPECT_NE(KeyRecordOf(code).listId, kEmptyListId) << "evdev " << evdev;
        }
    }
    for (KeyIndex slot = 0; slot < kKeySlotCount; ++slot) {
        const KeyCode code = IndexToKeyCode(slot);
        if (kKeyTable[slot].listId == kEmptyListId || IsPseudoKey(code)) {
            continue;
        }
        const std::size_t expected = kUnreachable.contains(code) ? 0 : 1;
        EXPECT_EQ(sources[code].size(), expected) << std::hex << code;
    }
}

TEST(EvdevKeyCodes, XkbKeycodesAreShiftedByEight) {
    EXPECT_EQ(KeyCodeFromXkbKeycode(9), 0x001);
    EXPECT_EQ(KeyCodeFromXkbKeycode(8 + 119), 0x045);
    EXPECT_EQ(KeyCodeFromXkbKeycode(8), kNoKey);
    EXPECT_EQ(KeyCodeFromXkbKeycode(3), kNoKey);
    EXPECT_EQ(KeyCodeFromXkbKeycode(0x10008), kNoKey);
}

#ifdef QV_HAVE_EVDEV_HEADER
// The numbers in the mapping are checked against the system's own definitions; the keys that
// differ from their set-1 scan code are all listed.
TEST(EvdevKeyCodes, AgreesWithTheSystemHeader) {
    struct Case {
        int evdev;
        KeyCode code;
    };
    const Case cases[] = {
        {KEY_ESC, 0x001},        {KEY_A, 0x01E},
        {KEY_KPASTERISK, 0x037}, {KEY_SCROLLLOCK, 0x046},
        {KEY_KPDOT, 0x053},      {KEY_102ND, 0x056},
        {KEY_F12, 0x058},        {KEY_F13, 0x064},
        {KEY_NUMLOCK, 0x145},    {KEY_PAUSE, 0x045},
        {KEY_BREAK, 0x146},      {KEY_SYSRQ, 0x137},
        {KEY_RIGHTSHIFT, 0x036}, {KEY_KATAKANAHIRAGANA, 0x070},
        {KEY_HANJA, 0x071},      {KEY_HANGEUL, 0x072},
        {KEY_RO, 0x073},         {KEY_HENKAN, 0x079},
        {KEY_MUHENKAN, 0x07B},   {KEY_YEN, 0x07D},
        {KEY_KPCOMMA, 0x07E},    {KEY_PREVIOUSSONG, 0x110},
        {KEY_NEXTSONG, 0x119},   {KEY_KPENTER, 0x11C},
        {KEY_RIGHTCTRL, 0x11D},  {KEY_MUTE, 0x120},
        {KEY_CALC, 0x121},       {KEY_PLAYPAUSE, 0x122},
        {KEY_STOPCD, 0x124},     {KEY_VOLUMEDOWN, 0x12E},
        {KEY_VOLUMEUP, 0x130},   {KEY_HOMEPAGE, 0x132},
        {KEY_KPSLASH, 0x135},    {KEY_RIGHTALT, 0x138},
        {KEY_HOME, 0x147},       {KEY_UP, 0x148},
        {KEY_PAGEUP, 0x149},     {KEY_LEFT, 0x14B},
        {KEY_RIGHT, 0x14D},      {KEY_END, 0x14F},
        {KEY_DOWN, 0x150},       {KEY_PAGEDOWN, 0x151},
        {KEY_INSERT, 0x152},     {KEY_DELETE, 0x153},
        {KEY_LEFTMETA, 0x15B},   {KEY_RIGHTMETA, 0x15C},
        {KEY_COMPOSE, 0x15D},    {KEY_POWER, 0x15E},
        {KEY_SLEEP, 0x15F},      {KEY_WAKEUP, 0x163},
        {KEY_SEARCH, 0x165},     {KEY_BOOKMARKS, 0x166},
        {KEY_REFRESH, 0x167},    {KEY_STOP, 0x168},
        {KEY_FORWARD, 0x169},    {KEY_BACK, 0x16A},
        {KEY_FILE, 0x16B},       {KEY_MAIL, 0x16C},
        {KEY_CONFIG, 0x16D},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeFromEvdev(static_cast<EvdevCode>(c.evdev)), c.code) << c.evdev;
    }
    EXPECT_EQ(KeyCodeFromEvdev(KEY_ZENKAKUHANKAKU), kNoKey);
    EXPECT_EQ(KeyCodeFromEvdev(KEY_PRINT), kNoKey);
}
#endif

}  // namespace
}  // namespace qv::keys
