#include "app/keyboard_view_model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "texts/skin_layout.h"

// Cases name only the fields they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::app {
namespace {

std::string Lookup(const std::string& key) {
    if (key == "IDS_KEY_PROMPT_SET") {
        return ": assigned";
    }
    if (key == "IDS_KEY_PROMPT_SINGLE") {
        return " to key (";
    }
    return key;
}

std::size_t MainKeyPosition(keys::KeyCode code) {
    const auto& codes = ui::kMainKeyCodes;
    return static_cast<std::size_t>(std::find(codes.begin(), codes.end(), code) - codes.begin());
}

TEST(KeyboardViewModelTest, KeysOfTheProfileShownLookAssignedWithTheirAssignment) {
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    image.blocks[1][0x03A] = {.kind = keys::KeyKind::Key, .value = 0x01D};   // Caps Lock
    image.blocks[1][GKeySlot(2, true)] = {.kind = keys::KeyKind::Disabled};  // G12
    image.blocks[0][0x01E] = {.kind = keys::KeyKind::Disabled};              // another profile

    const KeyboardLooks looks =
        BuildKeyboardLooks(TakeKeyboardViewSnapshot(image, 1, true), Lookup);
    ASSERT_EQ(looks.mainKeys.size(), ui::kMainKeyCodes.size());
    const KeyLook& caps = looks.mainKeys[MainKeyPosition(0x03A)];
    EXPECT_TRUE(caps.assigned);
    EXPECT_NE(caps.tooltip.find(": assigned to key ("), std::string::npos) << caps.tooltip;
    EXPECT_FALSE(looks.mainKeys[MainKeyPosition(0x01E)].assigned);
    // The key pages have no place for the second bank's keys: what a file left there is not
    // shown as assigned, and the tooltip says why.
    EXPECT_FALSE(looks.gKeys[2].assigned);
    EXPECT_FALSE(looks.gKeys[2].remappable);
    EXPECT_NE(looks.gKeys[2].tooltip.find("cannot remap B3"), std::string::npos)
        << looks.gKeys[2].tooltip;
    EXPECT_FALSE(looks.gKeys[0].assigned);
    EXPECT_TRUE(looks.bank.bankB);
    EXPECT_EQ(looks.bank.captions[0], "B1");
    // A main key without a place: U.
    const KeyLook& u = looks.mainKeys[MainKeyPosition(0x016)];
    EXPECT_FALSE(u.remappable);
    EXPECT_NE(u.tooltip.find("cannot remap"), std::string::npos) << u.tooltip;
    EXPECT_TRUE(caps.remappable);

    // No profile known: nothing is marked.
    const KeyboardLooks none =
        BuildKeyboardLooks(TakeKeyboardViewSnapshot(image, -1, false), Lookup);
    EXPECT_TRUE(std::none_of(none.mainKeys.begin(), none.mainKeys.end(),
                             [](const KeyLook& look) { return look.assigned; }));
}

TEST(KeyboardViewModelTest, ClicksTargetTheSlotOfTheBankShown) {
    EXPECT_EQ(GKeySlot(2, false), 258u);
    EXPECT_EQ(GKeySlot(2, true), 267u);  // G3 on the second bank
    EXPECT_EQ(GKeySlot(kMacroOnlyGKey, true), 273u);
    EXPECT_EQ(MainKeySlot(0x03A), 0x03Au);
    EXPECT_EQ(MainKeySlot(0x11D), keys::KeyCodeToIndex(0x11D));  // Right Ctrl
}

TEST(KeyboardViewModelTest, FlipSwapsFOneToFourWithTheExtraKeysAndIsKept) {
    EXPECT_TRUE(MainKeyEnabled(0x03B, false));
    EXPECT_FALSE(MainKeyEnabled(0x03B, true));
    EXPECT_FALSE(MainKeyEnabled(0x03E, true));
    EXPECT_TRUE(MainKeyEnabled(0x03F, true));  // F5
    EXPECT_FALSE(ExtraKeysEnabled(false));
    EXPECT_TRUE(ExtraKeysEnabled(true));

    platform::MemorySettingsStore settings;
    EXPECT_FALSE(ReadFlip(settings));
    ASSERT_TRUE(WriteFlip(settings, true));
    EXPECT_EQ(settings.ReadString("PROFILES", "Flip").value, "1");
    EXPECT_TRUE(ReadFlip(settings));
    ASSERT_EQ(settings.WriteString("PROFILES", "Flip", "2"), platform::SettingsStatus::Ok);
    EXPECT_FALSE(ReadFlip(settings));  // anything but "1" is off
}

}  // namespace
}  // namespace qv::app
