// Pending edits and the record of where they were made: what counts as a record, and which
// keyboard and profile may use the edits.

#include <gtest/gtest.h>

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

    // An image without its record is nobody's.
    std::filesystem::remove(pending.OriginFile());
    EXPECT_EQ(pending.Check(here), PendingState::OriginUnknown);

    EXPECT_TRUE(pending.Remove());
    EXPECT_EQ(pending.Check(here), PendingState::None);
}

}  // namespace
}  // namespace qv::service
