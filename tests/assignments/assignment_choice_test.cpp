#include "assignments/assignment_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/key_lists.h"

// Cases name only the fields they set.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::keys {
namespace {

constexpr std::size_t kCapsLock = 0x03A;
constexpr std::size_t kLeftShift = 0x02A;
constexpr std::size_t kG3 = kFirstGKeySlot + 2;
constexpr std::size_t kG9 = kFirstGKeySlot + 8;
constexpr std::size_t kG18 = kFirstGKeySlot + 17;

std::vector<macros::MacroRecord> TwoMacros() {
    return {{.name = u"one", .repeatCount = 2, .macroId = 7},
            {.name = u"two", .repeatCount = 5, .macroId = 3}};
}

TEST(AssignmentChoiceTest, AnEntryOpensOnItsPageAndChoice) {
    const auto macros = TwoMacros();
    struct Case {
        const char* what;
        KeyEntry entry;
        std::size_t slot;
        AssignmentChoice expected;
    };
    const Case cases[] = {
        {"default: key page, keyboard mode, no key", {}, kCapsLock, {.macro = 0, .repeatCount = 2}},
        {"right mouse button: mouse mode",
         {.kind = KeyKind::Key, .value = kKeyMouseRight},
         kCapsLock,
         {.page = AssignmentPage::SingleKey,
          .mouse = true,
          .mouseChoice = 1,
          .macro = 0,
          .repeatCount = 2}},
        {"a key",
         {.kind = KeyKind::Key, .value = 0x01D},
         kCapsLock,
         {.page = AssignmentPage::SingleKey, .capturedKey = 0x01D, .macro = 0, .repeatCount = 2}},
        {"a macro: its position and count",
         {.kind = KeyKind::Macro, .aux = 5, .value = 3},
         kCapsLock,
         {.page = AssignmentPage::Macro, .macro = 1, .repeatCount = 5}},
        {"a macro the list lacks: the first",
         {.kind = KeyKind::Macro, .aux = 1, .value = 99},
         kCapsLock,
         {.page = AssignmentPage::Macro, .macro = 0, .repeatCount = 2}},
        {"media",
         {.kind = KeyKind::Media, .value = 4},
         kG3,
         {.page = AssignmentPage::Media, .macro = 0, .repeatCount = 2, .media = 4}},
        {"function out of range: the first",
         {.kind = KeyKind::Function, .value = 400},
         kCapsLock,
         {.page = AssignmentPage::Function, .macro = 0, .repeatCount = 2}},
        {"disabled has no page: default",
         {.kind = KeyKind::Disabled},
         kCapsLock,
         {.macro = 0, .repeatCount = 2}},
        {"the ninth G key: the macro page",
         {.aux = 0x0309},
         kG9,
         {.page = AssignmentPage::Macro, .macro = 0, .repeatCount = 2}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChoiceForEntry(c.entry, c.slot, macros), c.expected) << c.what;
    }
    EXPECT_EQ(ChoiceForEntry({}, kCapsLock, {}).macro, std::nullopt);
}

TEST(AssignmentChoiceTest, ApplyBuildsTheEntryByTheRules) {
    const auto macros = TwoMacros();
    struct Case {
        const char* what;
        AssignmentChoice choice;
        std::size_t slot;
        KeyEntry expected;
    };
    const Case cases[] = {
        {"a key",
         {.page = AssignmentPage::SingleKey, .capturedKey = 0x01D},
         kCapsLock,
         {.kind = KeyKind::Key, .value = 0x01D}},
        {"a key given itself is default",
         {.page = AssignmentPage::SingleKey, .capturedKey = 0x02A},
         kLeftShift,
         {}},
        {"no key captured is default", {.page = AssignmentPage::SingleKey}, kCapsLock, {}},
        {"Right Shift's second code is Right Shift",
         {.page = AssignmentPage::SingleKey, .capturedKey = 0x136},
         kCapsLock,
         {.kind = KeyKind::Key, .value = 0x036}},
        {"mouse wheel down",
         {.page = AssignmentPage::SingleKey, .mouse = true, .mouseChoice = 4},
         kCapsLock,
         {.kind = KeyKind::Key, .value = kKeyRollDown}},
        {"a G key keeps its code in aux",
         {.page = AssignmentPage::Media, .media = 7},
         kG3,
         {.kind = KeyKind::Media, .aux = 0x0303, .value = 7}},
        {"a macro stores its repeat count",
         {.page = AssignmentPage::Macro, .macro = 1, .repeatCount = 3},
         kG3,
         {.kind = KeyKind::Macro, .aux = 3, .value = 3}},
        {"reset", {.page = AssignmentPage::Default, .capturedKey = 0x01D}, kG18, {.aux = 0x1309}},
        {"function",
         {.page = AssignmentPage::Function, .function = 10},
         kCapsLock,
         {.kind = KeyKind::Function, .value = 10}},
    };
    for (const Case& c : cases) {
        const auto built = EntryForChoice(c.choice, c.slot, macros);
        ASSERT_TRUE(std::holds_alternative<KeyEntry>(built)) << c.what;
        EXPECT_EQ(std::get<KeyEntry>(built), c.expected) << c.what;
    }
    // The macro page with no macros writes the key's default, G key code included.
    EXPECT_EQ(std::get<KeyEntry>(EntryForChoice({.page = AssignmentPage::Macro}, kG9, {})),
              (KeyEntry{.aux = 0x0309}));
}

TEST(AssignmentChoiceTest, ChoicesOutsideTheListsAreRefused) {
    const auto macros = TwoMacros();
    const std::pair<const char*, AssignmentChoice> refused[] = {
        {"a media code as a key", {.page = AssignmentPage::SingleKey, .capturedKey = 0x120}},
        {"the copy function as a key", {.page = AssignmentPage::SingleKey, .capturedKey = 0x176}},
        {"mouse choice 5", {.page = AssignmentPage::SingleKey, .mouse = true, .mouseChoice = 5}},
        {"media 18", {.page = AssignmentPage::Media, .media = kMediaTable.size()}},
        {"function 11", {.page = AssignmentPage::Function, .function = kFunctionTable.size()}},
        {"macro 2 of 2", {.page = AssignmentPage::Macro, .macro = 2}},
        {"repeat 0", {.page = AssignmentPage::Macro, .macro = 0, .repeatCount = 0}},
        {"repeat 256", {.page = AssignmentPage::Macro, .macro = 0, .repeatCount = 256}},
    };
    for (const auto& [what, choice] : refused) {
        EXPECT_TRUE(std::holds_alternative<AssignmentError>(EntryForChoice(choice, 0x01E, macros)))
            << what;
    }
    // The ninth G key plays macros only.
    EXPECT_TRUE(std::holds_alternative<AssignmentError>(
        EntryForChoice({.page = AssignmentPage::SingleKey, .capturedKey = 0x01E}, kG9, macros)));
}

TEST(AssignmentChoiceTest, FreshPressesCaptureAndMediaKeysNever) {
    EXPECT_EQ(CapturedKey(0x01E, KeyEventKind::Press), KeyCode{0x01E});
    EXPECT_EQ(CapturedKey(0x01E, KeyEventKind::AutoRepeat), std::nullopt);
    EXPECT_EQ(CapturedKey(0x01E, KeyEventKind::Release), std::nullopt);
    // Print Screen's press may never be seen: its release counts.
    EXPECT_EQ(CapturedKey(0x137, KeyEventKind::Release), KeyCode{0x137});
    EXPECT_EQ(CapturedKey(0x15B, KeyEventKind::Press), KeyCode{0x15B});  // Left Win
    EXPECT_EQ(CapturedKey(kNoKey, KeyEventKind::Press), std::nullopt);
    EXPECT_EQ(CapturedKey(kMediaTable[0].nameCode, KeyEventKind::Press), std::nullopt);
}

}  // namespace
}  // namespace qv::keys
