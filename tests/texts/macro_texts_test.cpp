// The macro page's words: each notice its text, the meter's figure and warnings from the
// shipped lookup file, and built-in sentences where a lookup file has none.

#include "texts/macro_texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "temp_folder.h"
#include "texts/user_text.h"

namespace qv::ui {
namespace {

using macros::MacroNotice;

class MacroTextsTest : public ::testing::Test {
protected:
    static macros::MacroMemoryMeter Meter(std::size_t capacity) {
        // Compact 26 bytes, full 30.
        const macros::MacroList list = {
            {.name = u"ab", .macroId = 1, .actions = {{50, 0x01E, macros::KeyState::Press}}}};
        return macros::MeasureMacroMemory(list, capacity);
    }

    // Without a language file beside the program the interface would be Chinese: these
    // cases read the English texts.
    void SetUp() override { (void)shipped_.ChooseLanguage(InterfaceLanguage::English); }

    platform::MemorySettingsStore store_;
    platform::FixedSystemLanguage system_{0x0409};
    TextLookup shipped_{std::filesystem::path(QV_SOURCE_DIR) / "lang", store_, system_};
    TextTable texts_;
};

TEST_F(MacroTextsTest, NoticesAndQuestionsHaveTheirTexts) {
    EXPECT_EQ(MacroNoticeText(MacroNotice::TooManyMacros, texts_, shipped_),
              "You can have at most 100 macros. Please delete one before adding another.");
    EXPECT_EQ(MacroNoticeText(MacroNotice::DelayTooLong, texts_, shipped_),
              "A delay can be at most 40000 ms; the longest delay is used instead.");
    EXPECT_EQ(MacroNoticeText(MacroNotice::ConfirmClearActions, texts_, shipped_),
              "Remove all actions of this macro?");
    EXPECT_NE(MacroNoticeText(MacroNotice::ConfirmDeleteUsedMacro, texts_, shipped_).find("Delete"),
              std::string::npos);
    EXPECT_EQ(MacroNoticeText(MacroNotice::ActionListFull, texts_, shipped_), "");
    EXPECT_EQ(RecordButtonText(false, texts_, shipped_), "Record");
    EXPECT_EQ(RecordButtonText(true, texts_, shipped_), "Stop");
    EXPECT_EQ(NewMacroNamePrefix(texts_, shipped_), u"Macro ");
}

TEST_F(MacroTextsTest, MeterFiguresAndWarnings) {
    struct Case {
        std::size_t capacity;
        std::string figure;
        std::string warning;
    };
    for (const Case& c : {
             Case{8192, "Macro memory: 30 of 8192 bytes used (1%)", ""},
             Case{30, "Macro memory: 30 of 30 bytes used (100%)", ""},
             Case{29, "Macro memory: 26 of 29 bytes used (90%)",
                  "The macro names do not fit the keyboard's memory: Apply will store the "
                  "macros without their names."},
             Case{25, "Macro memory: 26 of 25 bytes used (104%)",
                  "The macros are 1 bytes too large for the keyboard's memory, so Apply will "
                  "refuse them. Please shorten or delete some macros."},
             Case{0, "Macro memory: 26 bytes used; the keyboard's capacity is not known yet", ""},
         }) {
        SCOPED_TRACE(c.capacity);
        EXPECT_EQ(MacroMemoryText(Meter(c.capacity), shipped_), c.figure);
        EXPECT_EQ(MacroMemoryWarning(Meter(c.capacity), shipped_), c.warning);
    }
}

TEST_F(MacroTextsTest, ALookupFileWithoutTheTextsGivesBuiltInSentences) {
    test::TempFolder empty;
    const TextLookup lookup(empty.Path(), store_, system_);
    EXPECT_EQ(MacroMemoryText(Meter(30), lookup), "Macro memory: 30 of 30 bytes used (100%)");
    EXPECT_FALSE(IsNoUserText(MacroMemoryWarning(Meter(25), lookup)));
    EXPECT_FALSE(IsNoUserText(MacroMemoryWarning(Meter(29), lookup)));
    for (const MacroNotice notice :
         {MacroNotice::TooManyMacros, MacroNotice::DelayTooLong,
          MacroNotice::ConfirmDeleteUsedMacro, MacroNotice::ConfirmClearActions}) {
        EXPECT_FALSE(IsNoUserText(MacroNoticeText(notice, texts_, lookup)));
    }
}

}  // namespace
}  // namespace qv::ui
