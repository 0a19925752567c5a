#include <gtest/gtest.h>

#include <set>

#include "keys/device_key_codes.h"
#include "keys/key_lists.h"
#include "keys/key_table.h"

namespace qv::keys {
namespace {

TEST(KeyClassify, ByDeviceCodeRange) {
    struct Case {
        KeyCode code;
        ClassifiedKey expected;
    };
    const Case cases[] = {
        {0x171, {KeyClass::Mouse, 0xF1}},
        {0x162, {KeyClass::Mouse, 0xF5}},
        {0x120, {KeyClass::Keyboard, 0xCD}},  // media codes go out as plain keys
        {0x17B, {KeyClass::Keyboard, 0xD4}},
        {0x01D, {KeyClass::Keyboard, 0xE0}},
        {0x15E, {KeyClass::System, 0x81}},
        {0x163, {KeyClass::System, 0x83}},
        {0x176, {}},  // Copy: the keyboard has no code for it
        {0x05A, {}},  // empty slot
        {GKeyCode(1), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyKeyCode(c.code), c.expected) << std::hex << c.code;
    }
}

TEST(KeyFromDevice, ByClassAndCode) {
    struct Case {
        KeyClass keyClass;
        std::uint16_t code;
        KeyCode expected;
    };
    const Case cases[] = {
        {KeyClass::Keyboard, 0x48, 0x045},  // Pause, not Break
        {KeyClass::Keyboard, 0xE5, 0x036},  // the first Right Shift row
        {KeyClass::Keyboard, 0x1E, 0x002},
        {KeyClass::Keyboard, 0x00, kNoKey},
        {KeyClass::Keyboard, 0xFF, kNoKey},
        {KeyClass::Keyboard, 0x148, kNoKey},  // not a device code at all
        {KeyClass::Consumer, 0x00CD, 0x122},
        {KeyClass::Consumer, 0x0030, kNoKey},
        {KeyClass::Consumer, 0x0000, kNoKey},
        {KeyClass::System, 0x80, kNoKey},
        {KeyClass::System, 0x82, 0x15F},
        {KeyClass::System, 0x1E, kNoKey},  // a keyboard code is no system code
        {KeyClass::Mouse, 0xF1, kNoKey},
        {static_cast<KeyClass>(3), 0x1E, kNoKey},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyCodeFromDevice(c.keyClass, c.code), c.expected)
            << static_cast<int>(c.keyClass) << " " << std::hex << c.code;
    }
}

// Reading a key page back must name the key that was written, so every device code leads back
// to its row; the two codes shared by two rows lead to the first.
TEST(KeyFromDevice, EveryDeviceCodeLeadsBackToItsRow) {
    for (KeyIndex slot = 0; slot < kKeySlotCount; ++slot) {
        const KeyCode code = IndexToKeyCode(slot);
        const ClassifiedKey key = ClassifyKeyCode(code);
        if (key.keyClass != KeyClass::Keyboard && key.keyClass != KeyClass::System) {
            continue;
        }
        KeyCode expected = code;
        if (code == 0x146) {
            expected = 0x045;
        } else if (code == 0x136) {
            expected = 0x036;
        }
        EXPECT_EQ(KeyCodeFromDevice(key.keyClass, key.deviceCode), expected) << std::hex << code;
        const int consumer = key.deviceCode - kFirstConsumerDeviceCode;
        if (consumer >= 0 && consumer < static_cast<int>(kConsumerCodeTable.size())) {
            EXPECT_EQ(KeyCodeFromDevice(KeyClass::Consumer, kConsumerCodeTable[consumer]), code)
                << std::hex << code;
        }
    }
}

// The media page sends the usage and shows the name of the key code; both must be the same
// function.
TEST(KeyMediaTable, UsagesMatchTheKeysThatNameThem) {
    std::set<std::uint16_t> usages;
    for (const MediaChoice& choice : kMediaTable) {
        EXPECT_EQ(KeyCodeFromDevice(KeyClass::Consumer, choice.usage), choice.nameCode)
            << std::hex << choice.usage;
        usages.insert(choice.usage);
    }
    EXPECT_EQ(usages.size(), kMediaTable.size());
    EXPECT_EQ(kMediaTable[13].usage, 0x022A);
}

TEST(KeyModifiers, BitsFollowTheBootKeyboardByte) {
    for (std::size_t bit = 0; bit < 8; ++bit) {
        const auto mask = static_cast<std::uint8_t>(1U << bit);
        const KeyCode code = ModifierBitToKeyCode(mask);
        // The modifier usages 0xE0..0xE7 are in the same order as the bits.
        EXPECT_EQ(ClassifyKeyCode(code).deviceCode, 0xE0 + bit) << bit;
        EXPECT_EQ(ModifierBitFromKeyCode(code), mask);
    }
    EXPECT_EQ(ModifierBitToKeyCode(0x06), 0x02A) << "the lowest bit wins";
    EXPECT_EQ(ModifierBitToKeyCode(0xC0), 0x138);
    EXPECT_EQ(ModifierBitToKeyCode(0), kNoKey);
    EXPECT_EQ(ModifierBitFromKeyCode(0x136), 0) << "only the first Right Shift code";
    EXPECT_EQ(ModifierBitFromKeyCode(0x01E), 0);
    EXPECT_EQ(ModifierBitFromKeyCode(kNoKey), 0);
}

}  // namespace
}  // namespace qv::keys
