#include <gtest/gtest.h>

#include "keys/key_message.h"
#include "keys/key_table.h"

namespace qv::keys {
namespace {

TEST(KeyVkTable, DecisionsWhereRowsCompete) {
    struct Case {
        std::uint8_t vk;
        KeyCode expected;
    };
    const Case cases[] = {
        {0x0D, 0x01C},                                   // Enter, not Num Enter
        {0x10, 0x02A},  {0x11, 0x01D},  {0x12, 0x038},   // sideless modifiers
        {0x21, 0x149},  {0x24, 0x147},  {0x2E, 0x153},   // navigation, not keypad
        {0x2C, 0x137},                                   // Print Screen, not Sys Req
        {0xA1, 0x036},                                   // first Right Shift
        {0x01, kNoKey}, {0x04, kNoKey}, {0x0C, kNoKey},  // mouse buttons, Clear
        {0x88, kNoKey}, {0x9F, kNoKey}, {0xFF, kNoKey},  // pseudo VKs, "no VK"
        {0x41, 0x01E},  {0x67, 0x047},  {0x13, 0x045},
        {0x03, 0x146},  {0x90, 0x145},  {0x07, kNoKey},  // produced by no row
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeFromVk(c.vk), c.expected) << std::hex << int{c.vk};
    }
}

// Whatever the table names for a VK must be a key that produces it.
TEST(KeyVkTable, EveryEntryProducesItsVk) {
    for (int vk = 0; vk < 256; ++vk) {
        const KeyCode code = kVkTable[static_cast<std::size_t>(vk)];
        if (code == kNoKey || vk == 0x10 || vk == 0x11 || vk == 0x12) {
            continue;
        }
        const KeyRecord& row = KeyRecordOf(code);
        EXPECT_TRUE(row.vk == vk || row.vkWithoutNumLock == vk) << std::hex << vk;
    }
}

std::uint32_t LParam(unsigned scan, bool extended, bool released = false) {
    return 1U | scan << 16 | (extended ? 1U << 24 : 0U) | (released ? 3U << 30 : 0U);
}

TEST(KeyMessage, ScanCodeWinsWhenTheVkAgrees) {
    struct Case {
        std::uint8_t vk;
        std::uint32_t lParam;
        KeyCode expected;
    };
    const Case cases[] = {
        {0x21, LParam(0x49, true), 0x149},         // Page Up
        {0x21, LParam(0x49, false), 0x049},        // keypad 9 with Num Lock off
        {0x69, LParam(0x49, false), 0x049},        // keypad 9 with Num Lock on
        {0x13, LParam(0x45, false), 0x045},        // Pause
        {0x90, LParam(0x45, true), 0x145},         // Num Lock
        {0x03, LParam(0x46, true), 0x146},         // Break
        {0x11, LParam(0x1D, true), 0x11D},         // sideless Ctrl keeps the right-hand code
        {0x10, LParam(0x36, false), 0x036},        // Right Shift under the sideless VK
        {0xA1, LParam(0x36, false, true), 0x036},  // release bits do not leak into the code
        {0xFF, LParam(0x70, false), 0x070},        // no VK: the scan code alone
        {0x41, LParam(0x00, false), 0x01E},        // no scan code: the VK alone
        {0x42, LParam(0x1E, false), 0x030},        // remapped: A's scan code, B's VK
        {0x07, LParam(0x1E, false), kNoKey},       // a VK that names no key
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeFromKeyMessage(c.vk, c.lParam), c.expected)
            << std::hex << int{c.vk} << " " << c.lParam;
    }
}

}  // namespace
}  // namespace qv::keys
