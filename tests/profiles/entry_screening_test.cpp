#include "profiles/entry_screening.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "profiles/profile_file.h"
#include "profiles/profile_file_codec.h"

namespace qv::profiles {
namespace {

using keys::KeyKind;

ImageContents DefaultImage() {
    ImageContents image;
    InstallDefaultImage(image);
    return image;
}

ProfileFileCheckResult CheckAsFile(const ImageContents& image) {
    return CheckProfileBytes(EncodeProfileFile(image).value());
}

TEST(EntryScreening, RefusesEntriesOfUnknownKindsAndLeavesTheImageAlone) {
    ImageContents image = DefaultImage();
    for (std::size_t i = 0; i < kImageKeyEntryCount; ++i) {
        image.ImageEntry(i).kind = static_cast<KeyKind>(0xFFFF);
    }
    const ImageContents before = image;
    const EntryScreening screening = ScreenImportedEntries(image);
    const std::string refusal =
        "the key entries are not a profile's: profile 1, key slot 0: kind 65535 is not a kind "
        "of key assignment (and 2047 more entries of unknown kinds)";
    EXPECT_EQ(screening.refusal, refusal);
    EXPECT_TRUE(screening.dropped.empty());
    EXPECT_TRUE(image == before);

    const ProfileFileCheckResult check = CheckAsFile(before);
    EXPECT_EQ(check.check, ProfileFileCheck::Invalid);
    EXPECT_EQ(check.formatProblem, refusal);
}

TEST(EntryScreening, DropsWhatTheKeyboardCannotCarryAndKeepsTheRest) {
    ImageContents image = DefaultImage();
    image.blocks[0][1] = {KeyKind::Key, 0, 0x0FE, 5, 6};  // spare and reserved travel on
    image.blocks[0][2] = {KeyKind::Key, 0, 0x01E};
    image.blocks[0][3] = {KeyKind::LaunchProgram, 0, 0};
    image.texts.SetText(3, u"/usr/bin/true");
    image.blocks[1][260] = {KeyKind::Media, 0x7777, 40};  // a G key: its code comes back
    image.blocks[2][59] = {KeyKind::Macro, 2, 9};
    image.blocks[3][300] = {KeyKind::Disabled};
    const ImageContents asFile = image;

    const EntryScreening screening = ScreenImportedEntries(image);
    EXPECT_FALSE(screening.refusal);
    const std::vector<std::string> dropped{
        "profile 1, key slot 1: key code 0x0FE is not a key the keyboard can send; dropped, the "
        "key keeps its default",
        "profile 2, key slot 260: media key 40 is past the 18 media keys; dropped, the key keeps "
        "its default",
        "profile 3, key slot 59: macro id 9 names no macro of the file; dropped, the key keeps "
        "its default",
        "profile 4, key slot 300: the slot belongs to no key; dropped",
    };
    EXPECT_EQ(screening.dropped, dropped);

    ImageContents expected = asFile;
    expected.blocks[0][1] = {KeyKind::Default, 0, 0, 5, 6};
    expected.blocks[1][260] = {KeyKind::Default, keys::GKeyAuxCode(260), 0};
    expected.blocks[2][59] = {};
    expected.blocks[3][300] = {};
    EXPECT_TRUE(image == expected);

    // A check of the file warns of the same, and the file stays valid.
    const ProfileFileCheckResult check = CheckAsFile(asFile);
    EXPECT_EQ(check.check, ProfileFileCheck::Valid);
    EXPECT_EQ(check.warnings, dropped);
    EXPECT_TRUE(CheckAsFile(image).warnings.empty());
}

TEST(EntryScreening, ListsTheFirstDroppedEntriesAndCountsTheRest) {
    ImageContents image = DefaultImage();
    for (std::size_t slot = 0; slot < kListedDroppedEntries + 5; ++slot) {
        image.blocks[1][slot] = {KeyKind::Function, 0, 0x1000};
    }
    const EntryScreening screening = ScreenImportedEntries(image);
    ASSERT_EQ(screening.dropped.size(), kListedDroppedEntries + 1);
    EXPECT_EQ(screening.dropped.back(), "5 more entries dropped the same way");
    for (std::size_t slot = 0; slot < kListedDroppedEntries + 5; ++slot) {
        EXPECT_EQ(image.blocks[1][slot].kind, KeyKind::Default) << slot;
    }
}

}  // namespace
}  // namespace qv::profiles
