#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assignments/assignment_description.h"

namespace qv::keys {
namespace {

// Shows which lookup key produced each piece of the text.
std::string Braced(const std::string& key) {
    return "{" + key + "}";
}

TEST(DescribeAssignment, TextByKind) {
    macros::MacroRecord macro;
    macro.macroId = 7;
    macro.name = u"Gr\u00fc\u00dfe \U0001F600";
    const macros::MacroList list = {macro};
    struct Case {
        KeyKind kind;
        std::uint32_t value;
        std::string expected;
    };
    const std::string set = "Esc{IDS_KEY_PROMPT_SET}";
    const std::vector<Case> cases = {
        {KeyKind::Default, 0, "Esc"},
        {KeyKind::Disabled, 0, set},
        {KeyKind::LaunchProgram, 10, set},
        {KeyKind::StopMacro, 0, set},
        {KeyKind::TextBlock, 10, set},
        {KeyKind::Key, 0x01E, set + "{IDS_KEY_PROMPT_SINGLE}{IDS_KEYBOARD_A})"},
        {KeyKind::Macro, 7, set + "{IDS_KEY_PROMPT_MACRO}Gr\u00fc\u00dfe \U0001F600)"},
        {KeyKind::Macro, 8, set + "{IDS_KEY_PROMPT_MACRO})"},
        {KeyKind::Media, 1, set + "{IDS_KEY_PROMPT_MEDIA}{IDS_KEYBOARD_PLAY})"},
        {KeyKind::Function, 0, set + "{IDS_KEY_PROMPT_FUNCTION}{IDS_COMPOSITE_FUNC_KEY_OPEN})"},
    };
    for (const Case& c : cases) {
        const KeyEntry entry{c.kind, 0, c.value};
        const AssignmentDescription d = DescribeAssignment("Esc", entry, list, Braced);
        EXPECT_EQ(d.tooltip, c.expected);
        EXPECT_EQ(d.assigned, c.kind != KeyKind::Default) << c.expected;
    }
}

TEST(DescribeAssignment, GKeyButtonsAreNamedInTheirBank) {
    EXPECT_EQ(GKeyButtonName(0), "G1");
    EXPECT_EQ(GKeyButtonName(8), "G9");
    const KeyEntry disabled{KeyKind::Disabled};
    EXPECT_EQ(DescribeAssignment(GKeyButtonName(2), disabled, {}, Braced).tooltip,
              "G3{IDS_KEY_PROMPT_SET}");
}

TEST(DescribeAssignment, BrokenMacroNameStillGivesValidText) {
    macros::MacroRecord macro;
    macro.macroId = 1;
    macro.name = std::u16string{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)};
    const KeyEntry entry{KeyKind::Macro, 1, 1};
    EXPECT_EQ(DescribeAssignment("X", entry, macros::MacroList{macro}, Braced).tooltip,
              "X{IDS_KEY_PROMPT_SET}{IDS_KEY_PROMPT_MACRO}a\uFFFDb\uFFFD)");
}

}  // namespace
}  // namespace qv::keys
