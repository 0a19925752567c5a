#include "profiles/key_entry_edit.h"

#include <gtest/gtest.h>

// Cases name only the fields they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::profiles {
namespace {

TEST(KeyEntryEditTest, StoresTheEntryDropsTheOldTextAndGivesTheMacroItsCount) {
    ImageContents image;
    InstallDefaultImage(image);
    image.macros.push_back({.name = u"m", .repeatCount = 1, .macroId = 4});
    const std::size_t entry = 2 * keys::kKeyBlockSize + 0x1E;
    image.blocks[2][0x1E] = {.kind = keys::KeyKind::TextBlock, .value = 0};
    image.texts.SetText(entry, u"hello");

    const keys::KeyEntry macro{.kind = keys::KeyKind::Macro, .aux = 7, .value = 4};
    ASSERT_TRUE(StoreKeyEntry(image, 2, 0x1E, macro));
    EXPECT_EQ(image.blocks[2][0x1E], macro);
    EXPECT_EQ(image.macros[0].repeatCount, 7);
    EXPECT_TRUE(image.texts.Text(entry).empty());
    EXPECT_EQ(image.texts.TotalBytes(), 0u);
}

TEST(KeyEntryEditTest, RefusesWhatHasNoPlaceWithoutChangingAnything) {
    ImageContents image;
    InstallDefaultImage(image);
    const ImageContents before = image;
    const keys::KeyEntry disabled{.kind = keys::KeyKind::Disabled};
    EXPECT_FALSE(StoreKeyEntry(image, 4, 0, disabled));
    EXPECT_FALSE(StoreKeyEntry(image, -1, 0, disabled));
    EXPECT_FALSE(StoreKeyEntry(image, 0, keys::kKeyBlockSize, disabled));
    EXPECT_FALSE(
        StoreKeyEntry(image, 0, 0x1E, {.kind = keys::KeyKind::Macro, .aux = 1, .value = 9}));
    EXPECT_EQ(image, before);
}

}  // namespace
}  // namespace qv::profiles
