// A text typed as key taps on the US layout: Shift around the characters that need it, line
// breaks and tabs, and a clear error for a character without a key.

#include "macros/text_taps.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qv::macros {
namespace {

constexpr keys::KeyCode kShift = 0x02A;
constexpr KeyState P = KeyState::Press;
constexpr KeyState R = KeyState::Release;

std::vector<MacroAction> Taps(std::string_view text, std::uint32_t delay = 0) {
    auto result = TextToTaps(text, delay);
    EXPECT_TRUE(std::holds_alternative<std::vector<MacroAction>>(result)) << text;
    return std::holds_alternative<std::vector<MacroAction>>(result)
               ? std::get<std::vector<MacroAction>>(std::move(result))
               : std::vector<MacroAction>{};
}

TextTapsError Error(std::string_view text) {
    auto result = TextToTaps(text);
    EXPECT_TRUE(std::holds_alternative<TextTapsError>(result)) << text;
    return std::holds_alternative<TextTapsError>(result) ? std::get<TextTapsError>(result)
                                                         : TextTapsError{};
}

TEST(TextTapsTest, ShiftIsHeldAroundRunsOfShiftedCharacters) {
    // H i ! ? a: Shift for H, none for i, Shift over "!?" and released before "a".
    EXPECT_EQ(Taps("Hi!?a", 10), (std::vector<MacroAction>{{10, kShift, P},
                                                           {10, 0x023, P},
                                                           {10, 0x023, R},
                                                           {10, kShift, R},
                                                           {10, 0x017, P},
                                                           {10, 0x017, R},
                                                           {10, kShift, P},
                                                           {10, 0x002, P},
                                                           {10, 0x002, R},
                                                           {10, 0x035, P},
                                                           {10, 0x035, R},
                                                           {10, kShift, R},
                                                           {10, 0x01E, P},
                                                           {10, 0x01E, R}}));
    // A shifted last character releases Shift at the end.
    EXPECT_EQ(Taps("A"), (std::vector<MacroAction>{
                             {0, kShift, P}, {0, 0x01E, P}, {0, 0x01E, R}, {0, kShift, R}}));
}

TEST(TextTapsTest, BlanksAndLineBreaksAreTheirKeys) {
    EXPECT_EQ(Taps(" \t\n\r\n"), (std::vector<MacroAction>{{0, 0x039, P},
                                                           {0, 0x039, R},
                                                           {0, 0x00F, P},
                                                           {0, 0x00F, R},
                                                           {0, 0x01C, P},
                                                           {0, 0x01C, R},
                                                           {0, 0x01C, P},
                                                           {0, 0x01C, R}}));
}

TEST(TextTapsTest, EveryPrintableAsciiCharacterHasItsOwnKeyAndShift) {
    std::set<std::pair<keys::KeyCode, bool>> seen;
    for (char32_t c = U' '; c <= U'~'; ++c) {
        const UsLayoutKey key = UsLayoutKeyOf(c);
        EXPECT_NE(key.key, keys::kNoKey) << static_cast<char>(c);
        EXPECT_TRUE(seen.insert({key.key, key.shifted}).second) << static_cast<char>(c);
        EXPECT_EQ(key.shifted, (c >= U'A' && c <= U'Z') ||
                                   std::u32string_view(U"~!@#$%^&*()_+{}|:\"<>?").find(c) !=
                                       std::u32string_view::npos)
            << static_cast<char>(c);
    }
}

TEST(TextTapsTest, ACharacterWithoutAKeyIsNamedWithItsPosition) {
    struct Case {
        std::string_view text;
        TextTapsError::Kind kind;
        char32_t character;
        std::size_t position;
    };
    const std::string tooLong(kMaxMacroActions / 2 + 1, 'a');
    for (const Case& c : {
             Case{"", TextTapsError::Kind::Empty, 0, 0},
             Case{"caf\xC3\xA9!", TextTapsError::Kind::NoKey, U'\u00E9', 4},
             Case{"a\rb", TextTapsError::Kind::NoKey, U'\r', 2},
             Case{"\xF0\x9F\x98\x80", TextTapsError::Kind::NoKey, U'\U0001F600', 1},
             Case{"ab\xFF", TextTapsError::Kind::NoKey, U'\uFFFD', 3},
             Case{tooLong, TextTapsError::Kind::TooManySteps, U'a', kMaxMacroActions / 2 + 1},
         }) {
        const TextTapsError error = Error(c.text);
        EXPECT_EQ(error.kind, c.kind) << c.text;
        EXPECT_EQ(error.character, c.character) << c.text;
        EXPECT_EQ(error.position, c.position) << c.text;
    }
    // Exactly 2000 steps fit, the Shift release at the end included.
    EXPECT_EQ(Taps(std::string(kMaxMacroActions / 2, 'a')).size(), kMaxMacroActions);
    const std::string shiftedLast = std::string(kMaxMacroActions / 2 - 2, 'a') + "A";
    EXPECT_EQ(Taps(shiftedLast).size(), kMaxMacroActions);
    EXPECT_EQ(Error(shiftedLast + "A").kind, TextTapsError::Kind::TooManySteps);
}

}  // namespace
}  // namespace qv::macros
