#include "texts/text_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "temp_folder.h"
#include "texts/text_lookup.h"

namespace qv::ui {
namespace {

// Every slot whose built-in text is not "IDS_" + its name.
const std::map<std::string_view, std::string_view> kSpecialBuiltIns = {
    {"EXTRA_MACRO_TOO_LONG", "IDS_MACRO_OVER"},
    {"UNKNOWN_KEY", "Unknown Key: %03x"},
    {"FUNC_KEY_DESC1", "IDS_COMPOSITE_FUNC_KEY_OPEN"},
    {"FUNC_KEY_DESC2", "IDS_COMPOSITE_FUNC_KEY_NEW"},
    {"FUNC_KEY_DESC3", "IDS_COMPOSITE_FUNC_KEY_UNDO"},
    {"FUNC_KEY_DESC4", "IDS_COMPOSITE_FUNC_KEY_SAVE"},
    {"FUNC_KEY_DESC5", "IDS_COMPOSITE_FUNC_KEY_COPY"},
    {"FUNC_KEY_DESC6", "IDS_COMPOSITE_FUNC_KEY_CUT"},
    {"FUNC_KEY_DESC7", "IDS_COMPOSITE_FUNC_KEY_PASTE"},
    {"FUNC_KEY_DESC8", "IDS_COMPOSITE_FUNC_KEY_FIND"},
    {"FUNC_KEY_DESC9", "IDS_COMPOSITE_FUNC_KEY_SELECT_ALL"},
    {"FUNC_KEY_DESC10", "IDS_COMPOSITE_FUNC_KEY_ZOOMOUT"},
    {"FUNC_KEY_DESC11", "IDS_COMPOSITE_FUNC_KEY_ZOOMIN"},
    {"APPLY_PROMPT", "IDS_KEY_APPLY_PROMPT"},
    {"MACRO_DELETE_CONFIRM_OF_KEYS", "IDS_KEY_MACRO_DELETE_CONFIRM_OF_KEYS"},
    {"PROFILE_SEELCT_PROMPT2",
     "When fast switch scene mode, you must first close the editor dialog box."},
    {"PROFILE_FORMAT_ERROR", "This profile file has the wrong format and was not used: %s"},
    {"PROFILE_NEW", "\\The new contextual  mode"},
    {"PROFILE_TIP", "The current contextual  mode: "},
    {"EXTRA_PROFILE_SPACE_TIGHT", "EXTRA_PROFILE_SPACE_TIGHT"},
    {"MAIN_BUTTON_QUINDO_VER", ""},
    {"MAIN_DEFAULT_MATRIX_PROMPT", "IDS_MIAN_DEFAULT_PROMPT"},
    {"MAIN_NO_DEVICE_PROMPT",
     "Device is not detected\xEF\xBC\x8C"
     "the key settings can not be displayed!"},
    {"PROFILE_1", "hello"},
    {"PROFILE_2", "hello"},
    {"PROFILE_3", "hello"},
    {"PROFILE_MACRO", "hello"},
    {"PROFILE_DEFAULT", "hello"},
    {"PROFILE_OK", "hello"},
    {"PROFILE_CANCLE", "hello"},
    {"PROFILE_APPLY", "hello"},
};

TEST(TextTableTest, StartsWithEveryBuiltInText) {
    const TextTable table;
    ASSERT_EQ(kTextSlotCount, 60u);
    std::size_t specials = 0;
    for (std::size_t i = 0; i < kTextSlotCount; ++i) {
        const auto slot = static_cast<TextSlot>(i);
        const std::string name(SlotName(slot));
        const auto special = kSpecialBuiltIns.find(name);
        specials += special != kSpecialBuiltIns.end() ? 1 : 0;
        const std::string expected =
            special != kSpecialBuiltIns.end() ? std::string(special->second) : "IDS_" + name;
        EXPECT_EQ(table.SlotText(slot), expected) << name;
        EXPECT_EQ(table.SlotText(name), expected) << name;
        EXPECT_EQ(FindSlot(name), slot);
    }
    EXPECT_EQ(specials, kSpecialBuiltIns.size());  // no special entry names a missing slot
    EXPECT_EQ(table.SlotText("NO_SUCH_SLOT"), std::nullopt);
    EXPECT_EQ(table.SlotText("macro_err_max"), std::nullopt);
}

TEST(TextTableTest, CutsTextsToTheSlotCapacityByCharacters) {
    TextTable table;
    // 106 ASCII characters, then three 4-byte characters: the cut falls after the first of them.
    table.SetSlotText(TextSlot::MAIN_CAPTION,
                      std::string(106, 'a') + "\xF0\x9F\x98\x80\xF0\x9F\x98\x81\xF0\x9F\x98\x82");
    EXPECT_EQ(table.SlotText(TextSlot::MAIN_CAPTION), std::string(106, 'a') + "\xF0\x9F\x98\x80");

    std::string wide;
    for (int i = 0; i < 200; ++i) {
        wide += "\xE6\xBC\xA2";
    }
    table.SetSlotText(TextSlot::MAIN_CAPTION, wide);
    EXPECT_EQ(table.SlotText(TextSlot::MAIN_CAPTION), wide.substr(0, 107 * 3));

    table.SetSlotText(TextSlot::MAIN_CAPTION, "bad\xFF");
    EXPECT_EQ(table.SlotText(TextSlot::MAIN_CAPTION), "bad\xEF\xBF\xBD");
}

class MainWindowTextsTest : public testing::Test {
protected:
    void LoadWith(std::string_view languageFile) {
        folder_.Write("Skins/language.ini", languageFile);
        LoadMainWindowTexts(table_, lookup_);
    }

    test::TempFolder folder_;
    platform::MemorySettingsStore store_;
    platform::FixedSystemLanguage system_{0x0409};
    TextLookup lookup_{folder_.Path(), store_, system_};
    TextTable table_;
};

TEST_F(MainWindowTextsTest, WithoutALanguageFileTheWindowSlotsBecomeOneSpace) {
    LoadMainWindowTexts(table_, lookup_);
    for (const TextSlot slot : kMainWindowLanguageSlots) {
        EXPECT_EQ(table_.SlotText(slot), " ") << SlotName(slot);
    }
    EXPECT_EQ(table_.SlotText(TextSlot::MAIN_CAPTION), "IDS_MAIN_CAPTION");  // not reloaded
}

TEST_F(MainWindowTextsTest, LanguageValueChoosesTheSection) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1", "english"}, {"2", "chinese"}, {"0", "chinese"}, {"", "chinese"}};
    for (const auto& [value, expected] : cases) {
        LoadWith("[LANGUAGE]\nlanguage=" + value +
                 "\n[CHINESE]\nPROFILE_1=chinese\nMAIN_CLOSE_PROMPT=chinese\n"
                 "[ENGINSH]\nPROFILE_1=english\nMAIN_CLOSE_PROMPT=english\n");
        EXPECT_EQ(table_.SlotText(TextSlot::PROFILE_1), expected) << value;
        EXPECT_EQ(table_.SlotText(TextSlot::MAIN_CLOSE_PROMPT), expected) << value;
        // A key missing from the chosen section gives one space, not the built-in text.
        EXPECT_EQ(table_.SlotText(TextSlot::PROFILE_2), " ") << value;
    }
}

TEST_F(MainWindowTextsTest, LongLanguageTextsFillTheSlotWithTheirStart) {
    std::string value;
    for (int i = 0; i < 200; ++i) {
        value += static_cast<char>('A' + i % 26);
    }
    LoadWith("[LANGUAGE]\nlanguage=1\n[ENGINSH]\nPROFILE_OK=" + value + "\n");
    EXPECT_EQ(table_.SlotText(TextSlot::PROFILE_OK), value.substr(0, 107));
}

}  // namespace
}  // namespace qv::ui
