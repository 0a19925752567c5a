// Pending edits and the record of where they were made: what counts as a record, and which
// keyboard and profile may use the edits.

#include <gtest/gtest.h>

#include "profiles/profile_file_codec.h"
#include "service/pending_edits.h"
#include "texts/temp_folder.h"

namespace qv::service {
namespace {

struct RecordCase {
    const char* name;
    const char* text;
    std::optional<PendingOrigin> origin;
};

const RecordCase kRecords[] = {
    {"Plain", "keyboard=sim:/a/b.state\nprofile=2\n", PendingOrigin{"sim:/a/b.state", 1}},
    {"AnyOrder", "profile=4\nkeyboard=usb:0c45:5004", PendingOrigin{"usb:0c45:5004", 3}},
    {"NoProfile", "keyboard=sim:/a\n", std::nullopt},
    {"NoKeyboard", "profile=1\n", std::nullopt},
    {"EmptyKeyboard", "keyboard=\nprofile=1\n", std::nullopt},
    {"ProfileZero", "keyboard=k\nprofile=0\n", std::nullopt},
    {"ProfileFive", "keyboard=k\nprofile=5\n", std::nullopt},
    {"ProfileTwoDigits", "keyboard=k\nprofile=11\n", std::nullopt},
    {"Empty", "", std::nullopt},
};

void PrintTo(const RecordCase& c, std::ostream* os) {
    *os << c.name;
}

class PendingRecordTest : public ::testing::TestWithParam<RecordCase> {};

TEST_P(PendingRecordTest, ParsesOnlyWholeRecords) {
    EXPECT_EQ(ParsePendingOrigin(GetParam().text), GetParam().origin);
}

INSTANTIATE_TEST_SUITE_P(Records, PendingRecordTest, ::testing::ValuesIn(kRecords),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(PendingEditsTest, BelongToTheKeyboardAndProfileTheyWereMadeOn) {
    test::TempFolder folder;
    const PendingEdits pending(folder.Path() / "quorvane");
    const PendingOrigin here{"sim:/k.state", 0};
    EXPECT_EQ(pending.Check(here), PendingState::None);

    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    image.blocks[0][0x03A] = {keys::KeyKind::Disabled};
    ASSERT_TRUE(pending.Save(image, here));
    EXPECT_EQ(pending.Check(here), PendingState::Matching);
    EXPECT_EQ(pending.Check({"sim:/other.state", 0}), PendingState::OtherKeyboard);
    EXPECT_EQ(pending.Check({"sim:/k.state", 2}), PendingState::OtherProfile);
    profiles::ImageContents loaded;
    ASSERT_TRUE(pending.Load(loaded).Loaded());
    EXPECT_EQ(loaded.blocks[0][0x03A].kind, keys::KeyKind::Disabled);

    // One file holds both, and it is still a profile file any loader reads.
    EXPECT_EQ(folder.Entries("quorvane"), std::vector<std::string>{"pending.fwc"});
    EXPECT_EQ(profiles::CheckProfileFile(pending.ImageFile()).check,
              profiles::ProfileFileCheck::Valid);

    EXPECT_TRUE(pending.Remove());
    EXPECT_EQ(pending.Check(here), PendingState::None);
}

// What a kill at any point of a save, by this version or an earlier one (which wrote the image,
// then its record beside it), leaves on disk, written out directly.
TEST(PendingEditsTest, WhatAKilledSaveLeavesIsUsableOrNobodys) {
    const PendingOrigin here{"sim:/k.state", 1};
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    image.blocks[1][0x03A] = {keys::KeyKind::Disabled};
    const std::vector<std::uint8_t> bare = profiles::EncodeProfileFile(image).value();
    const auto withTrailer = [&](std::string_view record) {
        std::string file(bare.begin(), bare.end());
        return file + "\nquorvane-pending-origin 1\n" + std::string(record);
    };
    const std::string record = FormatPendingOrigin(here);
    const std::string otherProfile = FormatPendingOrigin({"sim:/k.state", 3});

    struct Case {
        const char* name;
        std::string image;
        std::optional<std::string> separateRecord;
        PendingState state;
    };
    const std::vector<Case> cases{
        {"an earlier version's pair", std::string(bare.begin(), bare.end()), record,
         PendingState::Matching},
        {"an earlier version killed before its record", std::string(bare.begin(), bare.end()),
         std::nullopt, PendingState::OriginUnknown},
        {"killed before the earlier record was removed", withTrailer(record), otherProfile,
         PendingState::Matching},
        {"a record cut short", withTrailer("keyboard=sim:/k.state\n"), record,
         PendingState::OriginUnknown},
        {"something else after the image", std::string(bare.begin(), bare.end()) + "junk", record,
         PendingState::OriginUnknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        const PendingEdits pending(folder.Path());
        folder.Write("pending.fwc", c.image);
        if (c.separateRecord) {
            folder.Write("pending.origin", *c.separateRecord);
        }
        EXPECT_EQ(pending.Check(here), c.state);
        profiles::ImageContents loaded;
        ASSERT_TRUE(pending.Load(loaded).Loaded());
        EXPECT_EQ(loaded.blocks[1][0x03A].kind, keys::KeyKind::Disabled);

        // The next save makes it whole again.
        ASSERT_TRUE(pending.Save(image, here));
        EXPECT_EQ(pending.Check(here), PendingState::Matching);
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"pending.fwc"});
    }
}

TEST(PendingEditsTest, TrailersAreReadOnlyWhole) {
    EXPECT_EQ(ParsePendingTrailer("\nquorvane-pending-origin 1\nkeyboard=k\nprofile=3\n"),
              (PendingOrigin{"k", 2}));
    EXPECT_EQ(ParsePendingTrailer("quorvane-pending-origin 1\nkeyboard=k\nprofile=3\n"),
              std::nullopt);
    EXPECT_EQ(ParsePendingTrailer("\nquorvane-pending-origin 2\nkeyboard=k\nprofile=3\n"),
              std::nullopt);
    EXPECT_EQ(ParsePendingTrailer("\nquorvane-pending-origin 1\nkeyboard=k\nprofile=3\n" +
                                  std::string(5000, '#')),
              std::nullopt);
}

}  // namespace
}  // namespace qv::service
