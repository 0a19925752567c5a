// The key table and the VK table derived from it. Rows are written in slot order as the
// keyboard's formats define them; the builder places each row at the slot of its code, and the
// static_asserts below refuse a table whose rows collide or whose choice list has a hole.

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "keys/key_table.h"

namespace qv::keys {
namespace {

struct KeyRow {
    KeyCode code;
    std::string_view nameKey;
    KeyListId listId;
    std::uint8_t vk;
    std::uint8_t vkWithoutNumLock;
    DeviceKeyCode deviceCode;
};

constexpr KeyRow Key(KeyCode code, std::string_view nameKey, KeyListId listId, std::uint8_t vk,
                     DeviceKeyCode deviceCode) {
    return {code, nameKey, listId, vk, vk, deviceCode};
}

// A keypad key: its VK with Num Lock on, then with Num Lock off.
constexpr KeyRow Pad(KeyCode code, std::string_view nameKey, KeyListId listId, std::uint8_t vk,
                     std::uint8_t vkWithoutNumLock, DeviceKeyCode deviceCode) {
    return {code, nameKey, listId, vk, vkWithoutNumLock, deviceCode};
}

// Device code 0x00 marks a key the keyboard cannot send; VK 0xFF a key without a VK.
// clang-format off
constexpr std::array kKeyRows = {
    Key(0x001,  "IDS_KEYBOARD_ESC",              37,      0x1B,         0x29),  // Esc
    Key(0x002,  "IDS_KEYBOARD_1",                26,      0x31,         0x1E),  // 1
    Key(0x003,  "IDS_KEYBOARD_2",                27,      0x32,         0x1F),  // 2
    Key(0x004,  "IDS_KEYBOARD_3",                28,      0x33,         0x20),  // 3
    Key(0x005,  "IDS_KEYBOARD_4",                29,      0x34,         0x21),  // 4
    Key(0x006,  "IDS_KEYBOARD_5",                30,      0x35,         0x22),  // 5
    Key(0x007,  "IDS_KEYBOARD_6",                31,      0x36,         0x23),  // 6
    Key(0x008,  "IDS_KEYBOARD_7",                32,      0x37,         0x24),  // 7
    Key(0x009,  "IDS_KEYBOARD_8",                33,      0x38,         0x25),  // 8
    Key(0x00A,  "IDS_KEYBOARD_9",                34,      0x39,         0x26),  // 9
    Key(0x00B,  "IDS_KEYBOARD_0",                35,      0x30,         0x27),  // 0
    Key(0x00C,  "IDS_KEYBOARD_MINUS",            41,      0xBD,         0x2D),  // -
    Key(0x00D,  "IDS_KEYBOARD_EQU",              42,      0xBB,         0x2E),  // =
    Key(0x00E,  "IDS_KEYBOARD_BS",               38,      0x08,         0x2A),  // Backspace
    Key(0x00F,  "IDS_KEYBOARD_TAB",              39,      0x09,         0x2B),  // Tab
    Key(0x010,  "IDS_KEYBOARD_Q",                16,      0x51,         0x14),  // Q
    Key(0x011,  "IDS_KEYBOARD_W",                22,      0x57,         0x1A),  // W
    Key(0x012,  "IDS_KEYBOARD_E",                4,       0x45,         0x08),  // E
    Key(0x013,  "IDS_KEYBOARD_R",                17,      0x52,         0x15),  // R
    Key(0x014,  "IDS_KEYBOARD_T",                19,      0x54,         0x17),  // T
    Key(0x015,  "IDS_KEYBOARD_Y",                24,      0x59,         0x1C),  // Y
    Key(0x016,  "IDS_KEYBOARD_U",                20,      0x55,         0x18),  // U
    Key(0x017,  "IDS_KEYBOARD_I",                8,       0x49,         0x0C),  // I
    Key(0x018,  "IDS_KEYBOARD_O",                14,      0x4F,         0x12),  // O
    Key(0x019,  "IDS_KEYBOARD_P",                15,      0x50,         0x13),  // P
    Key(0x01A,  "IDS_KEYBOARD_SB1",              43,      0xDB,         0x2F),  // [
    Key(0x01B,  "IDS_KEYBOARD_SB2",              44,      0xDD,         0x30),  // ]
    Key(0x01C,  "IDS_KEYBOARD_ENTER",            36,      0x0D,         0x28),  // Enter
    Key(0x01D,  "IDS_KEYBOARD_LCTRL",            98,      0xA2,         0xE0),  // Left Ctrl
    Key(0x01E,  "IDS_KEYBOARD_A",                0,       0x41,         0x04),  // A
    Key(0x01F,  "IDS_KEYBOARD_S",                18,      0x53,         0x16),  // S
    Key(0x020,  "IDS_KEYBOARD_D",                3,       0x44,         0x07),  // D
    Key(0x021,  "IDS_KEYBOARD_F",                5,       0x46,         0x09),  // F
    Key(0x022,  "IDS_KEYBOARD_G",                6,       0x47,         0x0A),  // G
    Key(0x023,  "IDS_KEYBOARD_H",                7,       0x48,         0x0B),  // H
    Key(0x024,  "IDS_KEYBOARD_J",                9,       0x4A,         0x0D),  // J
    Key(0x025,  "IDS_KEYBOARD_K",                10,      0x4B,         0x0E),  // K
    Key(0x026,  "IDS_KEYBOARD_L",                11,      0x4C,         0x0F),  // L
    Key(0x027,  "IDS_KEYBOARD_SEM",              46,      0xBA,         0x33),  // ;
    Key(0x028,  "IDS_KEYBOARD_QUOT",             47,      0xDE,         0x34),  // '
    Key(0x029,  "IDS_KEYBOARD_AID1",             48,      0xC0,         0x35),  // grave accent
    Key(0x02A,  "IDS_KEYBOARD_LSHIFT",           99,      0xA0,         0xE1),  // Left Shift
    Key(0x02B,  "IDS_KEYBOARD_AV",               45,      0xDC,         0x31),  // backslash
    Key(0x02C,  "IDS_KEYBOARD_Z",                25,      0x5A,         0x1D),  // Z
    Key(0x02D,  "IDS_KEYBOARD_X",                23,      0x58,         0x1B),  // X
    Key(0x02E,  "IDS_KEYBOARD_C",                2,       0x43,         0x06),  // C
    Key(0x02F,  "IDS_KEYBOARD_V",                21,      0x56,         0x19),  // V
    Key(0x030,  "IDS_KEYBOARD_B",                1,       0x42,         0x05),  // B
    Key(0x031,  "IDS_KEYBOARD_N",                13,      0x4E,         0x11),  // N
    Key(0x032,  "IDS_KEYBOARD_M",                12,      0x4D,         0x10),  // M
    Key(0x033,  "IDS_KEYBOARD_COMMA",            49,      0xBC,         0x36),  // ,
    Key(0x034,  "IDS_KEYBOARD_PER",              50,      0xBE,         0x37),  // .
    Key(0x035,  "IDS_KEYBOARD_VIR",              51,      0xBF,         0x38),  // /
    Key(0x036,  "IDS_KEYBOARD_RSHIFT",           103,     0xA1,         0xE5),  // Right Shift
    Key(0x037,  "IDS_KEYBOARD_S_AST",            81,      0x6A,         0x55),  // Num *
    Key(0x038,  "IDS_KEYBOARD_LALT",             100,     0xA4,         0xE2),  // Left Alt
    Key(0x039,  "IDS_KEYBOARD_SPACE",            40,      0x20,         0x2C),  // Space
    Key(0x03A,  "IDS_KEYBOARD_CAPS",             78,      0x14,         0x39),  // Caps Lock
    Key(0x03B,  "IDS_KEYBOARD_F1",               52,      0x70,         0x3A),  // F1
    Key(0x03C,  "IDS_KEYBOARD_F2",               53,      0x71,         0x3B),  // F2
    Key(0x03D,  "IDS_KEYBOARD_F3",               54,      0x72,         0x3C),  // F3
    Key(0x03E,  "IDS_KEYBOARD_F4",               55,      0x73,         0x3D),  // F4
    Key(0x03F,  "IDS_KEYBOARD_F5",               56,      0x74,         0x3E),  // F5
    Key(0x040,  "IDS_KEYBOARD_F6",               57,      0x75,         0x3F),  // F6
    Key(0x041,  "IDS_KEYBOARD_F7",               58,      0x76,         0x40),  // F7
    Key(0x042,  "IDS_KEYBOARD_F8",               59,      0x77,         0x41),  // F8
    Key(0x043,  "IDS_KEYBOARD_F9",               60,      0x78,         0x42),  // F9
    Key(0x044,  "IDS_KEYBOARD_F10",              61,      0x79,         0x43),  // F10
    Key(0x045,  "IDS_KEYBOARD_PAUSE",            65,      0x13,         0x48),  // Pause
    Key(0x046,  "IDS_KEYBOARD_SCROLL",           77,      0x91,         0x47),  // Scroll Lock
    Pad(0x047,  "IDS_KEYBOARD_S_7",              91,      0x67,  0x24,  0x5F),  // Num 7
    Pad(0x048,  "IDS_KEYBOARD_S_8",              92,      0x68,  0x26,  0x60),  // Num 8
    Pad(0x049,  "IDS_KEYBOARD_S_9",              93,      0x69,  0x21,  0x61),  // Num 9
    Key(0x04A,  "IDS_KEYBOARD_S_MINUS",          82,      0x6D,         0x56),  // Num -
    Pad(0x04B,  "IDS_KEYBOARD_S_4",              88,      0x64,  0x25,  0x5C),  // Num 4
    Pad(0x04C,  "IDS_KEYBOARD_S_5",              89,      0x65,  0x0C,  0x5D),  // Num 5
    Pad(0x04D,  "IDS_KEYBOARD_S_6",              90,      0x66,  0x27,  0x5E),  // Num 6
    Key(0x04E,  "IDS_KEYBOARD_S_PLUS",           83,      0x6B,         0x57),  // Num +
    Pad(0x04F,  "IDS_KEYBOARD_S_1",              85,      0x61,  0x23,  0x59),  // Num 1
    Pad(0x050,  "IDS_KEYBOARD_S_2",              86,      0x62,  0x28,  0x5A),  // Num 2
    Pad(0x051,  "IDS_KEYBOARD_S_3",              87,      0x63,  0x22,  0x5B),  // Num 3
    Pad(0x052,  "IDS_KEYBOARD_S_0",              94,      0x60,  0x2D,  0x62),  // Num 0
    Pad(0x053,  "IDS_KEYBOARD_S_DEL",            95,      0x6E,  0x2E,  0x63),  // Num .
    Key(0x054,  "IDS_KEYBOARD_SYSREQ",           0x8012,  0x2C,         0x00),  // Sys Req
    Key(0x056,  "IDS_KEYBOARD_K45",              96,      0xE2,         0x64),  // ISO key left of Z
    Key(0x057,  "IDS_KEYBOARD_F11",              62,      0x7A,         0x44),  // F11
    Key(0x058,  "IDS_KEYBOARD_F12",              63,      0x7B,         0x45),  // F12
    Key(0x064,  "",                              0x802D,  0x7C,         0x00),  // F13
    Key(0x070,  "IDS_KEYBOARD_ROMA",             0x8018,  0xFF,         0x88),  // Japanese Hiragana/Katakana
    Key(0x071,  "IDS_KEYBOARD_KL",               0x8019,  0xE9,         0x91),  // Korean Hanja
    Key(0x072,  "IDS_KEYBOARD_KR",               0x801A,  0xFF,         0x90),  // Korean Han/Yeong
    Key(0x073,  "IDS_KEYBOARD_K56",              0x8014,  0xC1,         0x87),  // Japanese Ro
    Key(0x079,  "IDS_KEYBOARD_CHG",              0x8017,  0xFF,         0x8A),  // Japanese Henkan
    Key(0x07B,  "IDS_KEYBOARD_N_CHG",            0x8016,  0xEB,         0x8B),  // Japanese Muhenkan
    Key(0x07D,  "IDS_KEYBOARD_K14",              0x8013,  0xFF,         0x89),  // Japanese Yen
    Key(0x07E,  "IDS_KEYBOARD_K107",             0x8015,  0xC2,         0x85),  // Brazilian keypad comma
    Key(0x110,  "IDS_KEYBOARD_PREV_TRACK",       0x8021,  0xB1,         0xD0),  // Previous Track
    Key(0x119,  "IDS_KEYBOARD_NEXT_TRACK",       0x8022,  0xB0,         0xD1),  // Next Track
    Key(0x11C,  "IDS_KEYBOARD_S_ENTER",          84,      0x0D,         0x58),  // Num Enter
    Key(0x11D,  "IDS_KEYBOARD_RCTRL",            102,     0xA3,         0xE4),  // Right Ctrl
    Key(0x120,  "IDS_KEYBOARD_MUTE",             0x8025,  0xAD,         0xCD),  // Mute
    Key(0x121,  "IDS_KEYBOARD_CALC",             0x801C,  0xB7,         0xC4),  // Calculator
    Key(0x122,  "IDS_KEYBOARD_PLAY",             0x801F,  0xB3,         0xCE),  // Play/Pause
    Key(0x124,  "IDS_KEYBOARD_STOP",             0x8020,  0xB2,         0xCF),  // Stop
    Key(0x12E,  "IDS_KEYBOARD_VOL_SUB",          0x8024,  0xAE,         0xC1),  // Volume down
    Key(0x130,  "IDS_KEYBOARD_VOL_ADD",          0x8023,  0xAF,         0xC0),  // Volume up
    Key(0x132,  "IDS_KEYBOARD_W_HOME",           0x8026,  0xAC,         0xC7),  // Browser Home
    Key(0x135,  "IDS_KEYBOARD_S_VIR",            80,      0x6F,         0x54),  // Num /
    Key(0x136,  "IDS_KEYBOARD_RSHIFT",           103,     0xA1,         0xE5),  // Right Shift (second code)
    Key(0x137,  "IDS_KEYBOARD_PRINT",            64,      0x2C,         0x46),  // Print Screen
    Key(0x138,  "IDS_KEYBOARD_RALT",             104,     0xA5,         0xE6),  // Right Alt
    Key(0x145,  "IDS_KEYBOARD_NUM",              79,      0x90,         0x53),  // Num Lock
    Key(0x146,  "IDS_KEYBOARD_BREAK",            66,      0x03,         0x48),  // Break
    Key(0x147,  "IDS_KEYBOARD_HOME",             69,      0x24,         0x4A),  // Home
    Key(0x148,  "IDS_KEYBOARD_UP",               73,      0x26,         0x52),  // Up
    Key(0x149,  "IDS_KEYBOARD_PAGE_UP",          71,      0x21,         0x4B),  // Page Up
    Key(0x14B,  "IDS_KEYBOARD_LEFT",             75,      0x25,         0x50),  // Left
    Key(0x14D,  "IDS_KEYBOARD_RIGHT",            76,      0x27,         0x4F),  // Right
    Key(0x14F,  "IDS_KEYBOARD_END",              70,      0x23,         0x4D),  // End
    Key(0x150,  "IDS_KEYBOARD_DOWN",             74,      0x28,         0x51),  // Down
    Key(0x151,  "IDS_KEYBOARD_PAGE_DOWN",        72,      0x22,         0x4E),  // Page Down
    Key(0x152,  "IDS_KEYBOARD_INSERT",           67,      0x2D,         0x49),  // Insert
    Key(0x153,  "IDS_KEYBOARD_DELETE",           68,      0x2E,         0x4C),  // Delete
    Key(0x15B,  "IDS_KEYBOARD_LWIN",             101,     0x5B,         0xE3),  // Left Win
    Key(0x15C,  "IDS_KEYBOARD_RWIN",             105,     0x5C,         0xE7),  // Right Win
    Key(0x15D,  "IDS_KEYBOARD_APP",              97,      0x5D,         0x65),  // Application
    Key(0x15E,  "IDS_KEYBOARD_POWER",            0x8001,  0xFF,         0x81),  // Power
    Key(0x15F,  "IDS_KEYBOARD_SLEEP",            0x8002,  0x5F,         0x82),  // Sleep
    Key(0x161,  "IDS_ROLL_UP",                   110,     0xD1,         0xF4),  // Roll Up (wheel forward)
    Key(0x162,  "IDS_ROLL_DOWN",                 111,     0xD2,         0xF5),  // Roll Down (wheel back)
    Key(0x163,  "IDS_KEYBOARD_WAKE",             0x8003,  0xFF,         0x83),  // Wake
    Key(0x165,  "IDS_KEYBOARD_W_SEARCH",         0x802C,  0xAA,         0xC6),  // Browser Search
    Key(0x166,  "IDS_KEYBOARD_W_FAVORITE",       0x802B,  0xAB,         0xCC),  // Browser Favorites
    Key(0x167,  "IDS_KEYBOARD_W_REFRESH",        0x8027,  0xA8,         0xCB),  // Browser Refresh
    Key(0x168,  "IDS_KEYBOARD_W_STOP",           0x8028,  0xA9,         0xCA),  // Browser Stop
    Key(0x169,  "IDS_KEYBOARD_W_FORWARD",        0x802A,  0xA7,         0xC9),  // Browser Forward
    Key(0x16A,  "IDS_KEYBOARD_W_BACK",           0x8029,  0xA6,         0xC8),  // Browser Back
    Key(0x16B,  "IDS_KEYBOARD_MY_PC",            0x801B,  0xB6,         0xC5),  // My Computer
    Key(0x16C,  "IDS_KEYBOARD_MAIL",             0x801D,  0xB4,         0xC3),  // Mail
    Key(0x16D,  "IDS_KEYBOARD_MEDIA",            0x801E,  0xB5,         0xC2),  // Media Player
    Key(0x16E,  "IDS_KEYBOARD_MOU_PANLEFT",      0x8005,  0x88,         0x00),  // Pan Left
    Key(0x16F,  "IDS_KEYBOARD_MOU_PANRIGHT",     0x8006,  0x89,         0x00),  // Pan Right
    Key(0x170,  "IDS_KEYBOARD_MOU_DBCLICK",      0x8004,  0x8A,         0x00),  // Double Click
    Key(0x171,  "IDS_KEYBOARD_MOU_LEFT",         107,     0x01,         0xF1),  // Left Button
    Key(0x172,  "IDS_KEYBOARD_MOU_RIGHT",        108,     0x02,         0xF2),  // Right Button
    Key(0x173,  "IDS_KEYBOARD_MOU_MIDDLE",       109,     0x04,         0xF3),  // Middle Button
    Key(0x174,  "IDS_KEYBOARD_FUNC_ZOOMOUT",     0x8007,  0x8B,         0xD2),  // Zoom−
    Key(0x175,  "IDS_KEYBOARD_FUNC_ZOOMIN",      0x8008,  0x8C,         0xD3),  // Zoom+
    Key(0x176,  "IDS_KEYBOARD_FUNC_COPY",        0x8009,  0x97,         0x00),  // Copy
    Key(0x177,  "IDS_KEYBOARD_FUNC_CUT",         0x800A,  0x98,         0x00),  // Cut
    Key(0x178,  "IDS_KEYBOARD_FUNC_PASTE",       0x800B,  0x99,         0x00),  // Paste
    Key(0x179,  "IDS_KEYBOARD_FUNC_MINI",        0x800C,  0x9A,         0x00),  // Minimize
    Key(0x17A,  "IDS_KEYBOARD_FUNC_MAXI",        0x800D,  0x9B,         0x00),  // Maximize
    Key(0x17B,  "IDS_KEYBOARD_FUNC_WORD",        0x800E,  0x9C,         0xD4),  // Word
    Key(0x17C,  "IDS_KEYBOARD_FUNC_EXCEL",       0x800F,  0x9D,         0xD5),  // Excel
    Key(0x17D,  "IDS_KEYBOARD_FUNC_POWERPOINT",  0x8010,  0x9E,         0x00),  // PowerPoint
    Key(0x17E,  "IDS_KEYBOARD_FUNC_CALENDAR",    0x8011,  0x9F,         0x00),  // Calendar
};
// clang-format on

static_assert(kKeyRows.size() == 157);

constexpr bool EveryRowHasItsOwnSlot() {
    std::array<bool, kKeySlotCount> taken{};
    for (const KeyRow& row : kKeyRows) {
        const KeyIndex slot = KeyCodeToIndex(row.code);
        if (slot >= kKeySlotCount || IndexToKeyCode(slot) != row.code || taken[slot]) {
            return false;
        }
        taken[slot] = true;
    }
    return true;
}
static_assert(EveryRowHasItsOwnSlot(), "a key row has no slot of its own");

constexpr int RowsWithListId(KeyListId id) {
    return static_cast<int>(std::count_if(kKeyRows.begin(), kKeyRows.end(),
                                          [id](const KeyRow& row) { return row.listId == id; }));
}

// The choice list shows ids 0..105 by position, so a hole or a duplicate shifts every name
// after it. Right Shift is listed under both of its codes; lookups take the first.
constexpr bool ChoiceListIsComplete() {
    for (KeyListId id = 0; id < kKeyChoiceCount; ++id) {
        if (RowsWithListId(id) != (id == 103 ? 2 : 1)) {
            return false;
        }
    }
    return RowsWithListId(kKeyChoiceCount) == 0;
}
static_assert(ChoiceListIsComplete(), "list ids 0..105 must each name exactly one key");

constexpr std::array<KeyRecord, kKeySlotCount> BuildKeyTable() {
    std::array<KeyRecord, kKeySlotCount> table{};
    for (const KeyRow& row : kKeyRows) {
        table[KeyCodeToIndex(row.code)] = {row.vk, row.listId, row.vkWithoutNumLock, row.deviceCode,
                                           row.nameKey};
    }
    return table;
}

struct VkDecision {
    std::uint8_t vk;
    KeyCode code;
};

// VKs that several rows produce, or that only pseudo rows (mouse, functions) or no real key
// produce. Everything else follows from the single row that produces the VK.
// clang-format off
constexpr std::array kVkDecisions = {
    VkDecision{0x0D, 0x01C},  // Enter: the main key, not Num Enter
    VkDecision{0x10, 0x02A}, VkDecision{0x11, 0x01D}, VkDecision{0x12, 0x038},  // sideless
    // The navigation block wins over the keypad with Num Lock off.
    VkDecision{0x21, 0x149}, VkDecision{0x22, 0x151}, VkDecision{0x23, 0x14F},
    VkDecision{0x24, 0x147}, VkDecision{0x25, 0x14B}, VkDecision{0x26, 0x148},
    VkDecision{0x27, 0x14D}, VkDecision{0x28, 0x150}, VkDecision{0x2D, 0x152},
    VkDecision{0x2E, 0x153},
    VkDecision{0x2C, 0x137},  // Snapshot: Print Screen, not Sys Req
    VkDecision{0xA1, 0x036},  // Right Shift: the plain code
    VkDecision{0x01, kNoKey}, VkDecision{0x02, kNoKey}, VkDecision{0x04, kNoKey},
    VkDecision{0x0C, kNoKey},  // Clear (keypad 5 without Num Lock)
    VkDecision{0x88, kNoKey}, VkDecision{0x89, kNoKey}, VkDecision{0x8A, kNoKey},
    VkDecision{0x8B, kNoKey}, VkDecision{0x8C, kNoKey},
    VkDecision{0x97, kNoKey}, VkDecision{0x98, kNoKey}, VkDecision{0x99, kNoKey},
    VkDecision{0x9A, kNoKey}, VkDecision{0x9B, kNoKey}, VkDecision{0x9C, kNoKey},
    VkDecision{0x9D, kNoKey}, VkDecision{0x9E, kNoKey}, VkDecision{0x9F, kNoKey},
    VkDecision{kNoVk, kNoKey},  // "no VK" is not a VK
};
// clang-format on

constexpr std::optional<KeyCode> DecidedVk(std::uint8_t vk) {
    for (const VkDecision& decision : kVkDecisions) {
        if (decision.vk == vk) {
            return decision.code;
        }
    }
    return std::nullopt;
}

constexpr bool Produces(const KeyRow& row, std::uint8_t vk) {
    return row.vk == vk || row.vkWithoutNumLock == vk;
}

constexpr int RowsProducing(std::uint8_t vk) {
    return static_cast<int>(std::count_if(kKeyRows.begin(), kKeyRows.end(),
                                          [vk](const KeyRow& row) { return Produces(row, vk); }));
}

// A VK that two rows produce must be decided above, or the hooks would pick one by accident.
constexpr bool EveryVkIsUnambiguous() {
    for (int vk = 0; vk < 256; ++vk) {
        const auto v = static_cast<std::uint8_t>(vk);
        if (!DecidedVk(v) && RowsProducing(v) > 1) {
            return false;
        }
    }
    return true;
}
static_assert(EveryVkIsUnambiguous(), "a VK produced by several rows needs a decision");

constexpr std::array<KeyCode, 256> BuildVkTable() {
    std::array<KeyCode, 256> table{};
    for (int vk = 0; vk < 256; ++vk) {
        const auto v = static_cast<std::uint8_t>(vk);
        if (const auto decided = DecidedVk(v)) {
            table[v] = *decided;
            continue;
        }
        for (const KeyRow& row : kKeyRows) {
            if (Produces(row, v)) {
                table[v] = row.code;
            }
        }
    }
    return table;
}

}  // namespace

constexpr std::array<KeyRecord, kKeySlotCount> kKeyTable = BuildKeyTable();
constexpr std::array<KeyCode, 256> kVkTable = BuildVkTable();

const KeyRecord& KeyRecordOf(KeyCode code) {
    static constexpr KeyRecord kEmpty{};
    const KeyIndex index = KeyCodeToIndex(code);
    return index < kKeySlotCount ? kKeyTable[index] : kEmpty;
}

}  // namespace qv::keys
