#include "app/service_texts.h"
#include "texts/user_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "texts/temp_folder.h"

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
        {Notice::ColourPageNotWritten, "",
         "The keyboard did not take all of the per-key colours, so it may show other colours "
         "than this window. Choose the colour scheme again to write them."},
        {Notice::ImportEntriesDropped, "profile 1, key slot 58: ...\nprofile 2, key slot 1: ...",
         "The profile file was imported, but these of its key settings are not ones the keyboard "
         "can carry; those keys keep their default: profile 1, key slot 58: ...\nprofile 2, key "
         "slot 1: ..."},
        // Apply writes one key page: only importing again repairs an import.
        {Notice::ImportPartlyWritten, "/tmp/a.fwc",
         "The keyboard took only part of the import; import /tmp/a.fwc again to write all of "
         "it."},
        {Notice::ProfileFileNotSaved, "/tmp/$Profile0: No space left on device",
         "The keyboard took the changes, but the current profile file could not be written "
         "(/tmp/$Profile0: No space left on device)."},
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

TEST_F(ServiceTextsTest, QuestionsHaveTheirTexts) {
    const QuestionText firmware = QuestionTextOf(service::Question::UpdateFirmware, lookup_);
    EXPECT_EQ(firmware.caption, "Version update");
    EXPECT_EQ(firmware.text,
              "The current version is too low! Please update the program after upgrading.");
    const QuestionText overwrite =
        QuestionTextOf(service::Question::OverwriteUnreadKeyboard, lookup_);
    EXPECT_TRUE(overwrite.caption.empty());
    EXPECT_EQ(overwrite.text, kOverwriteUnreadKeyboardText);
}

// In Chinese the notices and questions come from the Chinese lookup file, their details as
// arguments.
TEST_F(ServiceTextsTest, TheChosenLanguageGivesTheTexts) {
    folder_.Write("Lang0804.ini",
                  "[TEXT]\n"
                  "IDS_NOTICE_PENDING_FOR_OTHER_PROFILE=配置 %s 的更改；切换回配置 %s\n"
                  "IDS_QUESTION_UPDATE_FIRMWARE_CAPTION=版本更新\n");
    ASSERT_TRUE(lookup_.ChooseLanguage(InterfaceLanguage::Chinese));
    EXPECT_EQ(Text(Notice::PendingForOtherProfile, "2"), "配置 2 的更改；切换回配置 2");
    EXPECT_EQ(QuestionTextOf(service::Question::UpdateFirmware, lookup_).caption, "版本更新");
    // A key the Chinese file lacks comes from Lang0409.ini.
    EXPECT_EQ(Text(Notice::MacrosTooLong), "macros too long");
}

}  // namespace
}  // namespace qv::ui
