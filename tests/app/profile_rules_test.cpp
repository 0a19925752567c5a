// The rules behind the profile slots, the profile menu and the profile manager: when a switch
// asks, refuses or only reads the lighting; what each answer does; the menu's checked item and
// the current-profile caption; the manager's rows, what Apply records and what it asks of the
// keyboard; and which report-rate button and web-page buttons a window shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/keyboard_view_model.h"
#include "app/main_window_commands.h"
#include "app/profile_manager_model.h"
#include "app/profile_menu.h"
#include "app/profile_switch.h"
#include "platform/ini_file.h"
#include "profiles/profile_file.h"
#include "texts/temp_folder.h"

// Cases name only the fields they change; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::app {
namespace {

TEST(ProfileSwitchRules, DecideTheStepOfASlotClick) {
    struct Case {
        const char* what;
        SwitchState state;
        SwitchStep step;
    };
    const Case cases[] = {
        {"the slot already active",
         {.target = 1, .activeProfile = 1, .pending = true},
         SwitchStep::ReadLightingOnly},
        {"the editor open",
         {.target = 2, .activeProfile = 1, .editorOpen = true},
         SwitchStep::Refuse},
        {"nothing pending", {.target = 2, .activeProfile = 1}, SwitchStep::Switch},
        {"pending for the profile left",
         {.target = 2, .activeProfile = 1, .pending = true, .pendingProfile = 1},
         SwitchStep::Ask},
        {"pending for the target itself",
         {.target = 2, .activeProfile = 1, .pending = true, .pendingProfile = 2},
         SwitchStep::Switch},
        {"pending, profile unknown",
         {.target = 0, .activeProfile = -1, .pending = true},
         SwitchStep::Ask},
        {"an index past the last names profile 1",
         {.target = 7, .activeProfile = 0},
         SwitchStep::ReadLightingOnly},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideSwitch(c.state), c.step) << c.what;
    }
    EXPECT_EQ(NormaliseProfileIndex(7), 0);
    EXPECT_EQ(NormaliseProfileIndex(-1), -1);
    EXPECT_EQ(NormaliseProfileIndex(3), 3);
}

TEST(ProfileSwitchRules, EachAnswerHasItsPlan) {
    EXPECT_TRUE(PlanForAnswer(SwitchAnswer::Yes).go);
    EXPECT_EQ(PlanForAnswer(SwitchAnswer::Yes).pending, service::PendingChoice::ApplyFirst);
    EXPECT_TRUE(PlanForAnswer(SwitchAnswer::No).go);
    EXPECT_EQ(PlanForAnswer(SwitchAnswer::No).pending, service::PendingChoice::Drop);
    EXPECT_FALSE(PlanForAnswer(SwitchAnswer::Cancel).go);
}

TEST(ProfileMenuRules, TheCheckedItemGivesTheCaptionAndTooltip) {
    const ProfileMenu unknown = BuildProfileMenu(-1, "Default profile", "$Profile0", "Current: ");
    ASSERT_EQ(unknown.items.size(), 6u);
    EXPECT_EQ(unknown.items[1], "");
    for (std::size_t i = kProfileMenuFirstProfile; i < unknown.items.size(); ++i) {
        EXPECT_EQ(unknown.items[i], "$Profile0");
    }
    EXPECT_EQ(unknown.checked, 0u);
    EXPECT_EQ(unknown.caption, "Default profile");
    EXPECT_EQ(unknown.tooltip, "Current: Default profile");

    const ProfileMenu third = BuildProfileMenu(2, "Default profile", "$Profile0", "Current: ");
    EXPECT_EQ(third.checked, 4u);
    EXPECT_EQ(third.caption, "$Profile0");
    EXPECT_EQ(third.tooltip, "Current: $Profile0");
}

class ProfileManagerRules : public ::testing::Test {
protected:
    test::TempFolder temp_;
    const std::filesystem::path folder_ = temp_.Path() / "Quorvane_51M";
};

TEST_F(ProfileManagerRules, ListsTheFourProfilesWithTheActiveOneChecked) {
    const ProfileManagerModel model(folder_, 2);
    ASSERT_EQ(model.Rows().size(), 4u);
    for (int profile = 0; profile < 4; ++profile) {
        const ProfileRow& row = model.Rows()[static_cast<std::size_t>(profile)];
        EXPECT_EQ(row.Name(), "$Profile0");
        EXPECT_EQ(row.Folder(), folder_);
        EXPECT_EQ(row.profile, profile);
    }
    EXPECT_EQ(model.CheckedRow(), 2u);
    EXPECT_FALSE(model.ApplyEnabled());
    EXPECT_EQ(model.Choice(), (ManagerChoice{ManagerChoice::Kind::SwitchProfile, 2, {}}));
    EXPECT_EQ(ProfileManagerModel(folder_, -1).CheckedRow(), std::nullopt);
}

TEST_F(ProfileManagerRules, AddLoadCheckAndDeleteRows) {
    ProfileManagerModel model(folder_, 0);
    const std::filesystem::path created = temp_.Path() / "mine.fwc";
    ASSERT_TRUE(model.Add(created));
    // The new file exists at once, holding the default settings.
    EXPECT_EQ(profiles::CheckProfileFile(created).check, profiles::ProfileFileCheck::Valid);
    EXPECT_TRUE(model.ApplyEnabled());
    EXPECT_FALSE(model.Add(temp_.Path() / "no" / "such" / "folder.fwc"));
    EXPECT_EQ(model.Rows().size(), 5u);

    const std::filesystem::path other = temp_.Path() / "other.fwc";
    model.Load(other);
    EXPECT_EQ(model.Rows().back().Name(), "other");
    EXPECT_FALSE(model.Rows().back().profile);

    // One row checked at a time; a file row is imported.
    model.SetChecked(5, true);
    EXPECT_EQ(model.CheckedRow(), 5u);
    EXPECT_EQ(model.Choice(), (ManagerChoice{ManagerChoice::Kind::ImportFile, -1, other}));
    model.SetChecked(4, true);
    EXPECT_EQ(model.CheckedRow(), 4u);

    // Deleting selects the row that took its place, or the one before the last.
    EXPECT_EQ(model.Delete(1), 1u);
    EXPECT_EQ(model.CheckedRow(), 3u);  // the checked row moved up with the others
    EXPECT_EQ(model.Delete(4), 3u);
    EXPECT_EQ(model.Delete(3), 2u);
    EXPECT_EQ(model.CheckedRow(), std::nullopt);
    EXPECT_EQ(model.Choice().kind, ManagerChoice::Kind::Nothing);
    EXPECT_EQ(model.Delete(9), std::nullopt);
}

TEST_F(ProfileManagerRules, ApplyRecordsEveryRowAndTheirNumber) {
    platform::MemorySettingsStore settings;
    (void)settings.WriteString("PROFILES", "PROFILE05", "/old/row.fwc");
    ProfileManagerModel model(folder_, 0);
    model.Load("/home/u/a.fwc");
    ASSERT_TRUE(model.Record(settings));
    EXPECT_EQ(settings.ReadString("PROFILES", "PROFILE00").value, "5");
    EXPECT_EQ(settings.ReadString("PROFILES", "PROFILE01").value, (folder_ / "$Profile0").string());
    EXPECT_EQ(settings.ReadString("PROFILES", "PROFILE05").value, "/home/u/a.fwc");

    // Deleting every row records 0 and leaves the old values in place.
    while (model.Delete(0)) {
    }
    ASSERT_TRUE(model.Record(settings));
    EXPECT_EQ(settings.ReadString("PROFILES", "PROFILE00").value, "0");
    EXPECT_EQ(settings.ReadString("PROFILES", "PROFILE05").value, "/home/u/a.fwc");
    EXPECT_EQ(model.Choice().kind, ManagerChoice::Kind::Nothing);

    settings.SetOpenable(false);
    EXPECT_FALSE(model.Record(settings));
}

TEST(ProfileFileNames, NewFileSuggestionAndExtension) {
    EXPECT_EQ(NewProfileFileSuggestion("/d/Quorvane_51M", "\\New profile"),
              std::filesystem::path("/d/Quorvane_51M/New profile.fwc"));
    EXPECT_EQ(NewProfileFileSuggestion("/d", "\\"), std::filesystem::path("/d/.fwc"));
    EXPECT_EQ(WithProfileExtension("/d/a"), std::filesystem::path("/d/a.fwc"));
    EXPECT_EQ(WithProfileExtension("/d/a.bin"), std::filesystem::path("/d/a.bin"));
    EXPECT_EQ(ProfileRowValueName(0), "PROFILE01");
    EXPECT_EQ(ProfileRowValueName(11), "PROFILE12");
}

TEST(MainWindowCommandRules, ExactlyOneReportRateButtonIsChecked) {
    for (const auto& [stored, checked] : {std::pair{0, 0u}, {2, 2u}, {3, 3u}, {9, 3u}, {-1, 0u}}) {
        lighting::LightingState state;
        state.reportRate = stored;
        EXPECT_EQ(CheckedReportRateButton(state), checked) << stored;
    }
}

TEST(MainWindowCommandRules, DefaultResetsTheKeysAndTheGKeysOfTheBankShown) {
    const std::vector<std::size_t> bankA = DefaultCommandSlots(false);
    EXPECT_EQ(bankA.size(), ui::kMainKeyCodes.size() + 9);
    EXPECT_NE(std::find(bankA.begin(), bankA.end(), GKeySlot(8, false)), bankA.end());
    EXPECT_EQ(std::find(bankA.begin(), bankA.end(), GKeySlot(0, true)), bankA.end());
}

TEST(MainWindowCommandRules, OnlyWebAddressesPlaceAWebPageButton) {
    const ui::SkinFile skin(platform::IniFile::ParseText(
        "[SCREEN]\nLink=https://maker.test/\n"
        "[LINKS]\nCONTROL_Network=http://maker.test/home\nCONTROL_Facebook=file:///etc/passwd\n"
        "CONTROL_twitter=\n"));
    EXPECT_EQ(WebPageAddress(skin, "CONTROL_Network"), "http://maker.test/home");
    EXPECT_EQ(WebPageAddress(skin, "CONTROL_Facebook"), std::nullopt);
    EXPECT_EQ(WebPageAddress(skin, "CONTROL_twitter"), std::nullopt);
    EXPECT_EQ(SiteAddress(skin), "https://maker.test/");
    EXPECT_EQ(SiteAddress(ui::SkinFile()), std::nullopt);
    EXPECT_EQ(WebPageAddress(ui::SkinFile(), "CONTROL_Network"), std::nullopt);
}

}  // namespace
}  // namespace qv::app
