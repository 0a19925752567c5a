#include "lighting/colour_slots.h"

#include <algorithm>
#include <array>

namespace qv::lighting {
namespace {

constexpr std::array<keys::KeyCode, 104> kMainKeys{
    // F1..F6, Esc, F7..F12
    0x03B, 0x03C, 0x03D, 0x03E, 0x03F, 0x040, 0x001, 0x041, 0x042, 0x043, 0x044, 0x057, 0x058,
    // Grave, 1..0, Minus, Equals, Backslash, Backspace
    0x029, 0x002, 0x003, 0x004, 0x005, 0x006, 0x007, 0x008, 0x009, 0x00A, 0x00B, 0x00C, 0x00D,
    0x02B, 0x00E,
    // Q..P, brackets, Tab
    0x010, 0x011, 0x012, 0x013, 0x014, 0x015, 0x016, 0x017, 0x018, 0x019, 0x01A, 0x01B, 0x00F,
    // A..L, Semicolon, Apostrophe, Caps Lock, Enter
    0x01E, 0x01F, 0x020, 0x021, 0x022, 0x023, 0x024, 0x025, 0x026, 0x027, 0x028, 0x03A, 0x01C,
    // Z..M, Comma, Period, Slash, Right Shift, Left Shift
    0x02C, 0x02D, 0x02E, 0x02F, 0x030, 0x031, 0x032, 0x033, 0x034, 0x035, 0x036, 0x02A,
    // Left Ctrl, Left Win, Left Alt, Right Alt, Right Win, App, Right Ctrl, Space
    0x01D, 0x15B, 0x038, 0x138, 0x15C, 0x15D, 0x11D, 0x039,
    // Print Screen, Scroll Lock, Pause, Insert, Home, Page Up, Delete, End, Page Down
    0x137, 0x046, 0x045, 0x152, 0x147, 0x149, 0x153, 0x14F, 0x151,
    // Left, Down, Right, Up
    0x14B, 0x150, 0x14D, 0x148,
    // Num Lock, Num /, Num *, Num -, Num 7, 8, 9, Num +, Num 4, 5, 6, Num 1, 2, 3, Num Enter,
    // Num ., Num 0
    0x145, 0x135, 0x037, 0x04A, 0x047, 0x048, 0x049, 0x04E, 0x04B, 0x04C, 0x04D, 0x04F, 0x050,
    0x051, 0x11C, 0x053, 0x052};

struct KeySlot {
    keys::KeyCode code;
    std::uint8_t slot;
};

// The main keys with a slot of their own; Z and Backspace share one.
constexpr std::array<KeySlot, 35> kMainKeySlots{{
    {0x001, 1},  {0x03B, 3},  {0x03C, 4},  {0x03D, 5},  {0x03E, 6},  {0x032, 7},  {0x002, 10},
    {0x003, 11}, {0x004, 12}, {0x005, 13}, {0x006, 14}, {0x007, 15}, {0x00F, 17}, {0x010, 18},
    {0x011, 19}, {0x012, 20}, {0x013, 21}, {0x03A, 25}, {0x01E, 26}, {0x01F, 27}, {0x020, 28},
    {0x021, 29}, {0x022, 30}, {0x02A, 33}, {0x02C, 34}, {0x00E, 34}, {0x02D, 35}, {0x02E, 36},
    {0x02F, 37}, {0x030, 38}, {0x01D, 41}, {0x038, 43}, {0x031, 44}, {0x019, 45}, {0x039, 46},
}};

// G1..G7.
constexpr std::array<std::uint8_t, kColouredGKeys> kGKeySlots{39, 8, 16, 24, 32, 9, 22};
constexpr int kFnSlot = 42;

constexpr std::size_t kColouredKeyCount = kMainKeys.size() + kColouredGKeys + 1;

const std::array<ViewKey, kColouredKeyCount>& ColouredKeyList() {
    static const std::array<ViewKey, kColouredKeyCount> list = [] {
        std::array<ViewKey, kColouredKeyCount> keys{};
        std::size_t at = 0;
        for (keys::KeyCode code : kMainKeys) {
            keys[at++] = ViewKey::Main(code);
        }
        for (int g = 1; g <= kColouredGKeys; ++g) {
            keys[at++] = ViewKey::G(g);
        }
        keys[at] = ViewKey::FnKey();
        return keys;
    }();
    return list;
}

std::optional<int> MainKeySlot(keys::KeyCode code) {
    if (std::ranges::find(kMainKeys, code) == kMainKeys.end()) {
        return std::nullopt;
    }
    for (const KeySlot& entry : kMainKeySlots) {
        if (entry.code == code) {
            return entry.slot;
        }
    }
    return kSharedColourSlot;
}

}  // namespace

std::span<const ViewKey> ColouredKeys() {
    return ColouredKeyList();
}

std::optional<std::size_t> ColouredKeyIndex(ViewKey key) {
    const auto& list = ColouredKeyList();
    const auto found = std::ranges::find(list, key);
    if (found == list.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - list.begin());
}

std::optional<int> PaintSlotOf(ViewKey key) {
    switch (key.kind) {
        case ViewKey::Kind::Main:
            return MainKeySlot(key.value);
        case ViewKey::Kind::GKey:
            if (key.value >= 1 && key.value <= kColouredGKeys) {
                return kGKeySlots[key.value - 1u];
            }
            return std::nullopt;
        case ViewKey::Kind::Fn:
            return kFnSlot;
        case ViewKey::Kind::Extra:
            if (key.value >= 1 && key.value <= kExtraKeyCount) {
                return kExtraKeyColourSlot;
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qv::lighting
