#include "app/bank_key_marks.h"

#include <gtest/gtest.h>

namespace qv::app {
namespace {

TEST(BankKeyMarksTest, MarksTheAssignedKeysOfTheBankInUse) {
    profiles::ImageContents image;
    profiles::InstallDefaultImage(image);
    keys::KeyBlock& block = image.blocks[2];
    block[keys::kFirstGKeySlot + 0] = {keys::KeyKind::Disabled};                        // A1
    block[keys::kFirstGKeySlot + 8] = {keys::KeyKind::Disabled};                        // A9
    block[keys::kFirstGKeySlot + keys::kGKeysPerBank + 4] = {keys::KeyKind::Disabled};  // B5
    image.blocks[0][keys::kFirstGKeySlot + 1] = {keys::KeyKind::Disabled};  // another profile

    const BankKeyMarks a = MarkBankKeys(image, 2, false);
    EXPECT_FALSE(a.bankB);
    EXPECT_EQ(a.assigned,
              (std::array<bool, 9>{true, false, false, false, false, false, false, false, true}));
    EXPECT_EQ(a.captions, (std::array<std::string, 9>{"A1", "A2", "A3", "A4", "A5"}));

    const BankKeyMarks b = MarkBankKeys(image, 2, true);
    EXPECT_TRUE(b.bankB);
    EXPECT_EQ(b.assigned, (std::array<bool, 9>{false, false, false, false, true}));
    EXPECT_EQ(b.captions, (std::array<std::string, 9>{"B1", "B2", "B3", "B4", "B5"}));

    // An unknown active profile marks nothing but still names the bank.
    const BankKeyMarks unknown = MarkBankKeys(image, -1, true);
    EXPECT_EQ(unknown.assigned, (std::array<bool, 9>{}));
    EXPECT_EQ(unknown.captions[0], "B1");
}

}  // namespace
}  // namespace qv::app
