#include "texts/user_text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "temp_folder.h"
#include "texts/lookup_keys.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"

namespace qv::ui {
namespace {

const std::filesystem::path kSourceDir = QV_SOURCE_DIR;

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// The arguments the code passes each format slot.
std::vector<FormatArg> ArgsOf(TextSlot slot) {
    switch (slot) {
        case TextSlot::MACRO_ERR_MAX:
            return {100};
        case TextSlot::MACRO_ACTION_ERR_DELAY_MAX:
            return {40000};
        case TextSlot::UNKNOWN_KEY:
            return {0x064u};
        case TextSlot::PROFILE_FORMAT_ERROR:
            return {std::string_view("/home/user/broken.fwc")};
        default:
            return {};
    }
}

class UserTextTest : public testing::Test {
protected:
    [[nodiscard]] std::string Text(TextSlot slot) const {
        const std::vector<FormatArg> args = ArgsOf(slot);
        return UserText(table_, lookup_, slot, args);
    }

    void ShipTheLanguageFiles(std::string_view languageValue) {
        folder_.Write("Lang0409.ini", ReadBytes(kSourceDir / "lang" / "Lang0409.ini"));
        std::string language = ReadBytes(kSourceDir / "Skins" / "language.ini");
        const std::size_t at = language.find("language=1");
        ASSERT_NE(at, std::string::npos);
        language.replace(at, 10, "language=" + std::string(languageValue));
        folder_.Write("Skins/language.ini", language);
    }

    test::TempFolder folder_;
    platform::MemorySettingsStore store_;
    platform::FixedSystemLanguage system_{0x0409};
    TextLookup lookup_{folder_.Path(), store_, system_};
    TextTable table_;
};

TEST(IsNoUserTextTest, TellsTextIdsAndMarkersFromTexts) {
    const std::map<std::string_view, bool> cases = {
        {"", true},
        {" ", true},
        {" \t", true},
        {"#Error", true},
        {"IDS_MAIN_CAPTION", true},
        {"IDS_MAIN_Cancel", true},
        {"ids_main_caption", true},
        {"EXTRA_PROFILE_SPACE_TIGHT", true},
        {"MAIN_CAPTION", true},
        {"OK", false},
        {"F1", false},
        {"Macro ", false},
        {" to key (", false},
        {"#Error!", false},
        {"Unknown Key: %03x", false},
        {"IDS", false},
    };
    for (const auto& [text, none] : cases) {
        EXPECT_EQ(IsNoUserText(text), none) << '"' << text << '"';
    }
}

// Whatever the files say, no slot ever shows nothing, an error marker or a text id: with no
// files at all, with the shipped ones in either language, before and after the main window
// loads its texts.
TEST_F(UserTextTest, NoSlotEverShowsAnIdAnErrorOrNothing) {
    const auto expectEverySlotShowsAText = [this](std::string_view setting) {
        for (std::size_t i = 0; i < kTextSlotCount; ++i) {
            const auto slot = static_cast<TextSlot>(i);
            const std::string text = Text(slot);
            SCOPED_TRACE(std::string(setting) + ", " + std::string(SlotName(slot)) + ": \"" + text +
                         "\"");
            EXPECT_FALSE(IsNoUserText(text));
            EXPECT_FALSE(text.empty());
            EXPECT_NE(text, "#Error");
            EXPECT_FALSE(text.starts_with("IDS_"));
            EXPECT_FALSE(FindSlot(text).has_value());
            EXPECT_EQ(text.find('%'), std::string::npos);  // formats are applied
        }
    };
    expectEverySlotShowsAText("no files");
    LoadMainWindowTexts(table_, lookup_);
    expectEverySlotShowsAText("no files, window texts loaded");

    for (const std::string_view language : {"1", "0"}) {
        for (std::size_t i = 0; i < kTextSlotCount; ++i) {
            table_.SetSlotText(static_cast<TextSlot>(i), BuiltInText(static_cast<TextSlot>(i)));
        }
        ShipTheLanguageFiles(language);
        expectEverySlotShowsAText("shipped files, language " + std::string(language));
        LoadMainWindowTexts(table_, lookup_);
        expectEverySlotShowsAText("shipped files, language " + std::string(language) +
                                  ", window texts loaded");
    }
}

// Every key the windows look up has an English text built in, so even without the lookup file
// beside the program no window shows an id, "#Error" or nothing; the file, when there, wins.
TEST_F(UserTextTest, EveryLookedUpTextHasABuiltInEnglishOne) {
    for (const std::string_view key : kAllLookupKeys) {
        EXPECT_FALSE(IsNoUserText(LookupUserText(lookup_, key))) << key;
    }
    folder_.Write("Lang0409.ini", "[TEXT]\nIDS_MAIN_HELP_PROMPT=Hilfe\n");
    EXPECT_EQ(LookupUserText(lookup_, "IDS_MAIN_HELP_PROMPT"), "Hilfe");
    EXPECT_EQ(LookupUserText(lookup_, "IDS_NOT_SHIPPED"), "");
}

TEST_F(UserTextTest, TakesTheSlotThenTheLanguageFileThenEnglish) {
    // Nothing but the built-in English.
    EXPECT_EQ(Text(TextSlot::MAIN_CAPTION), "Quorvane Keyboard Settings");
    EXPECT_EQ(Text(TextSlot::APPLY_PROMPT), EnglishText(TextSlot::APPLY_PROMPT));
    EXPECT_EQ(Text(TextSlot::PROFILE_OK), "OK");
    EXPECT_EQ(Text(TextSlot::MACRO_ERR_MAX),
              "You can have at most 100 macros. Please delete one before adding another.");

    // The language file's sentences where the slot gives none.
    folder_.Write("Skins/language.ini",
                  "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nAPPLY_PROMPT=Apply first.\n"
                  "MAIN_CAPTION=Window\nPROFILE_OK=Fine\nMACRO_ERR_MAX=IDS_MACRO_ERR_MAX\n"
                  "[CHINESE]\nAPPLY_PROMPT=chinese\n");
    EXPECT_EQ(Text(TextSlot::APPLY_PROMPT), "Apply first.");  // the slot holds a key
    EXPECT_EQ(Text(TextSlot::MAIN_CAPTION), "Window");        // the lookup fails
    EXPECT_EQ(Text(TextSlot::PROFILE_OK), "Fine");            // not loaded yet
    EXPECT_EQ(Text(TextSlot::MACRO_ERR_MAX),
              "You can have at most 100 macros. Please delete one before adding another.");

    // The slot's own text, used as the slot says, comes first.
    folder_.Write("Lang0409.ini",
                  "[TEXT]\nIDS_MAIN_CAPTION=Caption\nIDS_MACRO_ERR_MAX=At most %d.\n"
                  "IDS_KEY_APPLY_PROMPT=not looked up\n");
    EXPECT_EQ(Text(TextSlot::MAIN_CAPTION), "Caption");
    EXPECT_EQ(Text(TextSlot::MACRO_ERR_MAX), "At most 100.");
    EXPECT_EQ(Text(TextSlot::APPLY_PROMPT), "Apply first.");
    table_.SetSlotText(TextSlot::APPLY_PROMPT, "Shown as it stands");
    EXPECT_EQ(Text(TextSlot::APPLY_PROMPT), "Shown as it stands");
    table_.SetSlotText(TextSlot::PROFILE_OK, "Yes");
    EXPECT_EQ(Text(TextSlot::PROFILE_OK), "Yes");
}

// A built-in English sentence follows the interface language; a text the slot was given stays.
TEST_F(UserTextTest, ABuiltInSentenceGivesWayToTheInterfaceLanguage) {
    const TextSlot slot = TextSlot::PROFILE_SEELCT_PROMPT2;
    EXPECT_EQ(Text(slot), BuiltInText(slot));
    folder_.Write(
        "Skins/language.ini",
        "[LANGUAGE]\nlanguage=0\n[CHINESE]\nPROFILE_SEELCT_PROMPT2=请先关闭按键设置窗口。\n");
    EXPECT_EQ(Text(slot), "请先关闭按键设置窗口。");
    table_.SetSlotText(slot, "Close the editor first.");
    EXPECT_EQ(Text(slot), "Close the editor first.");
}

TEST_F(UserTextTest, AFormatIsTakenOnlyWhenItFitsItsArguments) {
    const TextSlot slot = TextSlot::PROFILE_FORMAT_ERROR;
    const std::string english =
        "This profile file has the wrong format and was not used: /home/user/broken.fwc";
    EXPECT_EQ(Text(slot), english);

    folder_.Write("Skins/language.ini",
                  "[LANGUAGE]\nlanguage=1\n[ENGINSH]\nPROFILE_FORMAT_ERROR=Bad: %s\n"
                  "UNKNOWN_KEY=Key %03x\n");
    table_.SetSlotText(slot, "%s %n");
    EXPECT_EQ(Text(slot), "Bad: /home/user/broken.fwc");  // the slot's format does not fit
    table_.SetSlotText(slot, "Refused: %s");
    EXPECT_EQ(Text(slot), "Refused: /home/user/broken.fwc");
    table_.SetSlotText(slot, "%s");
    EXPECT_EQ(UserText(table_, lookup_, slot, {std::string_view()}), "Bad: ");  // empty result

    // A lookup that gives a hostile format, then a language file that gives none.
    folder_.Write("Lang0409.ini", "[TEXT]\nUnknown Key: %03x=Taste %s%n\n");
    EXPECT_EQ(Text(TextSlot::UNKNOWN_KEY), "Key 064");
    folder_.Write("Skins/language.ini", "[LANGUAGE]\nlanguage=1\n");
    EXPECT_EQ(Text(TextSlot::UNKNOWN_KEY), "Unknown key (064)");
    folder_.Write("Lang0409.ini", "[TEXT]\nUnknown Key: %03x=Taste %04X\n");
    EXPECT_EQ(Text(TextSlot::UNKNOWN_KEY), "Taste 0064");
}

}  // namespace
}  // namespace qv::ui
