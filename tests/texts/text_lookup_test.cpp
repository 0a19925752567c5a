#include "texts/text_lookup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "temp_folder.h"
#include "texts/text_table.h"

namespace qv::ui {
namespace {

using platform::SettingsStatus;
using namespace std::chrono_literals;

// Moves a file's modification time an hour back, as for a file edited long before it is read.
void BackDate(const std::filesystem::path& path) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - 1h);
}

class TextLookupTest : public testing::Test {
protected:
    [[nodiscard]] platform::DwordSetting StoredId() const {
        return store_.ReadDword("", kLanguageIdValueName);
    }

    test::TempFolder folder_;
    platform::MemorySettingsStore store_;
    platform::FixedSystemLanguage system_{0x0409};
    TextLookup lookup_{folder_.Path(), store_, system_};
};

TEST_F(TextLookupTest, LooksUpSectionTextOfLang0409BesideTheProgram) {
    const TextTable table;
    // Only the copy in the program's folder counts, not one in Skins.
    folder_.Write("Skins/Lang0409.ini", "[TEXT]\nIDS_MAIN_CAPTION=wrong folder\n");
    EXPECT_EQ(lookup_.LookupText("IDS_MAIN_CAPTION"), "#Error");

    folder_.Write("Lang0409.ini",
                  "[TEXT]\nIDS_MAIN_CAPTION=Keyboard\nIDS_MACRO_ERR_MAX=\n"
                  "[Other]\nIDS_MACRO_ERR_SAME=not in TEXT\n");
    EXPECT_EQ(lookup_.LookupText(table.SlotText(TextSlot::MAIN_CAPTION)), "Keyboard");
    EXPECT_EQ(lookup_.LookupText("ids_main_caption"), "Keyboard");
    // Present but empty is an empty text; missing is "#Error".
    EXPECT_EQ(lookup_.LookupText(table.SlotText(TextSlot::MACRO_ERR_MAX)), "");
    EXPECT_EQ(lookup_.LookupText(table.SlotText(TextSlot::MACRO_ERR_SAME)), "#Error");
    EXPECT_EQ(lookup_.LookupFilePath(), folder_.Path() / "Lang0409.ini");
}

TEST_F(TextLookupTest, EachFileIsReadOnceUntilItChanges) {
    BackDate(folder_.Write("Lang0409.ini", "[TEXT]\nIDS_A=alpha\n"));
    BackDate(
        folder_.Write("Skins/language.ini", "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nMENU_11=Open\n"));
    for (int i = 0; i < 10'000; ++i) {
        ASSERT_EQ(lookup_.LookupText("IDS_A"), "alpha");
        ASSERT_EQ(lookup_.LanguageText("MENU_11"), "Open");
        ASSERT_EQ(lookup_.InterfaceSection(), "ENGINSH");
    }
    EXPECT_EQ(lookup_.LookupFileReads(), 1u);
    EXPECT_EQ(lookup_.LanguageFileReads(), 1u);

    // An edit takes effect at the next lookup.
    folder_.Write("Lang0409.ini", "[TEXT]\nIDS_A=changed\n");
    folder_.Write("Skins/language.ini", "[LANGUAGE]\nlanguage=2\n[CHINESE]\nMENU_11=x\n");
    EXPECT_EQ(lookup_.LookupText("IDS_A"), "changed");
    EXPECT_EQ(lookup_.LanguageText("MENU_11"), "x");
    std::filesystem::remove(folder_.Path() / "Lang0409.ini");
    EXPECT_EQ(lookup_.LookupText("IDS_A"), "#Error");
}

TEST_F(TextLookupTest, LanguageValueIsReadLikeAtoi) {
    struct Case {
        std::string_view line;  // the LANGUAGE section's line, if any
        std::string_view section;
    };
    const std::vector<Case> cases = {
        {"language=1", "ENGINSH"},
        {"LANGUAGE = 1 ", "ENGINSH"},
        {"language=01", "ENGINSH"},
        {"language=+1", "ENGINSH"},
        {"language=1abc", "ENGINSH"},
        {"language=\"1\"", "ENGINSH"},
        {"language=2", "CHINESE"},
        {"language=0", "CHINESE"},
        {"language=-1", "CHINESE"},
        {"language=abc", "CHINESE"},
        {"language=", "CHINESE"},
        {"other=1", "CHINESE"},
        // Wraps to 1 in 32 bits; must not be taken for English.
        {"language=4294967297", "CHINESE"},
    };
    EXPECT_EQ(lookup_.InterfaceSection(), "CHINESE");  // no language file
    for (const Case& c : cases) {
        folder_.Write("Skins/language.ini", "[LANGUAGE]\n" + std::string(c.line) + "\n");
        EXPECT_EQ(lookup_.InterfaceSection(), c.section) << c.line;
    }
}

TEST_F(TextLookupTest, LanguageTextReadsTheInterfaceSection) {
    EXPECT_EQ(lookup_.LanguageText("MENU_11"), " ");
    folder_.Write("Skins/language.ini",
                  "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nMENU_11=Open\n[CHINESE]\nMENU_11=x\n"
                  "COMPOSITE_PROMPT_OSK=osk\n");
    EXPECT_EQ(lookup_.LanguageText("MENU_11"), "Open");
    EXPECT_EQ(lookup_.LanguageText("MENU_22"), " ");
    EXPECT_EQ(lookup_.LanguageText("CHINESE", "COMPOSITE_PROMPT_OSK", "built-in"), "osk");
    EXPECT_EQ(lookup_.LanguageText("CHINESE", "MISSING", "built-in"), "built-in");
}

// The user's choice of language beats the file beside the program, is kept in the settings for
// the next run, and picks the lookup file; a key the chosen file lacks comes from Lang0409.ini.
TEST_F(TextLookupTest, AChosenLanguageOverridesTheLanguageFileAndPicksItsLookupFile) {
    folder_.Write("Skins/language.ini",
                  "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nPROFILE_1=Profile 1\n"
                  "[CHINESE]\nPROFILE_1=配置 1\n");
    folder_.Write("Lang0409.ini", "[TEXT]\nIDS_A=alpha\nIDS_B=beta\n");
    folder_.Write("Lang0804.ini", "[TEXT]\nIDS_A=甲\nIDS_EMPTY=\n");
    EXPECT_EQ(lookup_.ChosenLanguage(), std::nullopt);
    EXPECT_EQ(lookup_.Language(), InterfaceLanguage::English);
    EXPECT_EQ(lookup_.LookupText("IDS_A"), "alpha");

    ASSERT_TRUE(lookup_.ChooseLanguage(InterfaceLanguage::Chinese));
    EXPECT_EQ(lookup_.InterfaceSection(), "CHINESE");
    EXPECT_EQ(lookup_.LanguageText("PROFILE_1"), "配置 1");
    EXPECT_EQ(lookup_.LookupText("IDS_A"), "甲");
    EXPECT_EQ(lookup_.LookupText("IDS_B"), "beta");
    EXPECT_EQ(lookup_.LookupText("IDS_EMPTY"), "");
    EXPECT_EQ(lookup_.LookupText("IDS_NONE"), "#Error");
    TextTable table;
    LoadMainWindowTexts(table, lookup_);
    EXPECT_EQ(table.SlotText(TextSlot::PROFILE_1), "配置 1");

    // The next run finds the choice in the settings.
    EXPECT_EQ(store_.ReadDword("", kChosenLanguageValueName).value, 0u);
    const TextLookup next{folder_.Path(), store_, system_};
    EXPECT_EQ(next.ChosenLanguage(), InterfaceLanguage::Chinese);
    ASSERT_TRUE(lookup_.ChooseLanguage(InterfaceLanguage::English));
    EXPECT_EQ(lookup_.LookupText("IDS_A"), "alpha");
    EXPECT_EQ(TextLookup(folder_.Path(), store_, system_).Language(), InterfaceLanguage::English);

    // Settings that cannot be written still leave the choice in force for this run.
    store_.SetOpenable(false);
    EXPECT_FALSE(lookup_.ChooseLanguage(InterfaceLanguage::Chinese));
    EXPECT_EQ(lookup_.InterfaceSection(), "CHINESE");
}

TEST(StoredLanguageIdTest, RecordsTheSystemLanguageMappedAndSupported) {
    struct Case {
        std::uint16_t system;
        std::uint16_t stored;
    };
    const std::vector<Case> cases = {
        {0x1409, 0x0409},  // English (New Zealand) → English
        {0x0804, 0x0804},  // supported as it is
        {0x0407, 0x0409},  // German: not supported
        {0x0807, 0x0409},  // German (Switzerland) → German → not supported
        {0x0C0A, 0x0409},  // supported itself, but mapped first to 0x040A, which is not
        {0x0C04, 0x0409},  // Chinese (Hong Kong) → English
        {0x1004, 0x0404},  // Chinese (Singapore) → Chinese (Taiwan)
        {0x0C0C, 0x040C},  // French (Canada) → French
        {0x0816, 0x0416},  // Portuguese (Portugal) → Portuguese (Brazil)
        {0x0813, 0x0413},  // Dutch (Belgium) → Dutch
        {0x0421, 0x0421}, {0x0412, 0x0412}, {0x0411, 0x0409},  // Japanese: not supported
    };
    const test::TempFolder folder;
    for (const Case& c : cases) {
        platform::MemorySettingsStore store;
        const platform::FixedSystemLanguage system(c.system);
        const TextLookup lookup(folder.Path(), store, system);
        EXPECT_EQ(lookup.StoredLanguageId(), c.stored) << std::hex << c.system;
        const platform::DwordSetting stored = store.ReadDword("", "dwLanguageId");
        EXPECT_EQ(stored.status, SettingsStatus::Ok);
        EXPECT_EQ(stored.value, c.stored) << std::hex << c.system;
    }
}

// Kept in a file, the recorded id is read again only when the file changes: here the file is
// rewritten behind the lookup's back with its size and time kept, which no reader can tell
// from no change, and the kept id still answers.
TEST(StoredLanguageIdTest, IsKeptUntilTheSettingsFileChanges) {
    const test::TempFolder folder;
    const std::filesystem::path file = folder.Path() / "Pelliton_T22.ini";
    platform::IniSettingsStore store(file);
    const platform::FixedSystemLanguage system(0x0804);
    const TextLookup lookup(folder.Path(), store, system);
    EXPECT_EQ(lookup.StoredLanguageId(), 0x0804u);
    BackDate(file);
    EXPECT_EQ(lookup.StoredLanguageId(), 0x0804u);

    const auto time = std::filesystem::last_write_time(file);
    std::string text = folder.Read("Pelliton_T22.ini");
    const std::size_t at = text.find("2052");
    ASSERT_NE(at, std::string::npos) << text;
    folder.Write("Pelliton_T22.ini", text.replace(at, 4, "1028"));
    std::filesystem::last_write_time(file, time);
    EXPECT_EQ(lookup.StoredLanguageId(), 0x0804u);

    // Another program records an id: the file changes, and the new id is seen.
    platform::IniSettingsStore other(file);
    ASSERT_EQ(other.WriteDword("", "dwLanguageId", 0x0412), SettingsStatus::Ok);
    EXPECT_EQ(lookup.StoredLanguageId(), 0x0412u);
    // A 0 written there is replaced by the system's language again.
    ASSERT_EQ(other.WriteDword("", "dwLanguageId", 0), SettingsStatus::Ok);
    EXPECT_EQ(lookup.StoredLanguageId(), 0x0804u);
    EXPECT_EQ(other.ReadDword("", "dwLanguageId").value, 0x0804u);
}

TEST_F(TextLookupTest, KeepsARecordedIdAndReplacesAMissingZeroOrMistypedOne) {
    ASSERT_EQ(store_.WriteDword("", "dwLanguageId", 0x0407), SettingsStatus::Ok);
    EXPECT_EQ(lookup_.StoredLanguageId(), 0x0407u);  // recorded earlier: left as it is

    for (const bool asText : {false, true}) {
        const SettingsStatus written = asText ? store_.WriteString("", "dwLanguageId", "1033")
                                              : store_.WriteDword("", "dwLanguageId", 0);
        ASSERT_EQ(written, SettingsStatus::Ok);
        EXPECT_EQ(lookup_.StoredLanguageId(), 0x0409u);
        EXPECT_EQ(StoredId().status, SettingsStatus::Ok);
        EXPECT_EQ(StoredId().value, 0x0409u);
    }
}

TEST_F(TextLookupTest, ALookupRecordsTheLanguageIdEvenWhenTheKeyCannotBeWritten) {
    EXPECT_EQ(StoredId().status, SettingsStatus::Absent);
    EXPECT_EQ(lookup_.LookupText("IDS_X"), "#Error");
    EXPECT_EQ(StoredId().value, 0x0409u);

    platform::MemorySettingsStore closed;
    closed.SetOpenable(false);
    const platform::FixedSystemLanguage chinese(0x0804);
    const TextLookup lookup(folder_.Path(), closed, chinese);
    EXPECT_EQ(lookup.StoredLanguageId(), 0x0804u);
    closed.SetOpenable(true);
    EXPECT_EQ(closed.ReadDword("", "dwLanguageId").status, SettingsStatus::Absent);
}

TEST_F(TextLookupTest, ConcurrentLookupsAgree) {
    folder_.Write("Lang0409.ini", "[TEXT]\nIDS_A=alpha\nIDS_B=beta\n");
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                failures[t] += lookup_.LookupText("IDS_A") != "alpha";
                failures[t] += lookup_.LookupText("IDS_B") != "beta";
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    EXPECT_EQ(StoredId().value, 0x0409u);
}

}  // namespace
}  // namespace qv::ui
