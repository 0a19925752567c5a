#include "ui/service_texts.h"
#include "ui/user_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "temp_folder.h"

namespace qv::ui {
namespace {

using service::Notice;
using service::ServiceNotice;

class ServiceTextsTest : public ::testing::Test {
protected:
    ServiceTextsTest() {
        folder_.Write("Lang0409.ini",
                      "[TEXT]\n"
                      "IDS_MIAN_DEFAULT_PROMPT=defaults unread\n"
                      "IDS_MACRO_OVER=macros too long\n"
                      "EXTRA_PROFILE_SPACE_TIGHT=names dropped\n"
                      "IDS_MAIN_PROMPT_INPORT=not imported\n");
    }

    std::string Text(Notice notice, std::string detail = {}) {
        return NoticeText({notice, std::move(detail)}, texts_, lookup_);
    }

    test::TempFolder folder_;
    platform::MemorySettingsStore store_;
    platform::FixedSystemLanguage system_{0x0409};
    TextLookup lookup_{folder_.Path(), store_, system_};
    TextTable texts_;
};

TEST_F(ServiceTextsTest, EveryNoticeHasItsText) {
    struct Case {
        Notice notice;
        std::string detail;
        std::string text;
    };
    const std::vector<Case> cases{
        {Notice::KeyDefaultsUnreadable, "", "defaults unread"},
        {Notice::MacrosTooLong, "", "macros too long"},
        {Notice::MacroNamesDropped, "", "names dropped"},
        {Notice::ImportRefused, "/tmp/a.fwc",
         "The file could not be imported. Please choose a valid Quorvane profile file."},
        {Notice::ProfileFileFormat, "a.fwc: too short",
         "This profile file has the wrong format and was not used: a.fwc: too short"},
        {Notice::KeyboardUnreadable, "a key page could not be read",
         "The keyboard could not be read (a key page could not be read); the default settings "
         "are shown. Applying would overwrite the keyboard."},
        {Notice::PartlyWritten, "-2",
         "The keyboard took only part of the change; apply again to write all of it."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.notice));
        EXPECT_EQ(Text(c.notice, c.detail), c.text);
    }
}

TEST_F(ServiceTextsTest, ASlotTheLanguageFileReplacedIsShownAsItStands) {
    texts_.SetSlotText(TextSlot::MAIN_PROMPT_INPORT, "Import failed.");
    EXPECT_EQ(Text(Notice::ImportRefused), "Import failed.");
    // A replaced format that does not fit its one text argument gives way to the built-in one.
    texts_.SetSlotText(TextSlot::PROFILE_FORMAT_ERROR, "bad file %d");
    EXPECT_EQ(Text(Notice::ProfileFileFormat, "x"),
              "This profile file has the wrong format and was not used: x");
    // A detail is an argument, never a format.
    EXPECT_NE(Text(Notice::KeyboardUnreadable, "%s%n").find("(%s%n)"), std::string::npos);
}

TEST_F(ServiceTextsTest, AMissingLookupShowsABuiltInSentenceNeverTheKey) {
    test::TempFolder empty;
    const TextLookup lookup(empty.Path(), store_, system_);
    for (const Notice notice : {Notice::KeyDefaultsUnreadable, Notice::MacrosTooLong,
                                Notice::MacroNamesDropped, Notice::ImportRefused}) {
        const std::string text = NoticeText({notice, {}}, texts_, lookup);
        EXPECT_FALSE(IsNoUserText(text)) << text;
    }
}

TEST(ServiceQuestionTextTest, QuestionsHaveTheirTexts) {
    const QuestionText firmware = QuestionTextOf(service::Question::UpdateFirmware);
    EXPECT_EQ(firmware.caption, "Version update");
    EXPECT_EQ(firmware.text,
              "The current version is too low! Please update the program after upgrading.");
    const QuestionText overwrite = QuestionTextOf(service::Question::OverwriteUnreadKeyboard);
    EXPECT_TRUE(overwrite.caption.empty());
    EXPECT_EQ(overwrite.text, kOverwriteUnreadKeyboardText);
}

}  // namespace
}  // namespace qv::ui
