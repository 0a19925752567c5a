#include <gtest/gtest.h>

#include "macros/macro_text.h"

namespace qv::macros {
namespace {

std::string NoTexts(const std::string&) {
    return "#Error";
}

constexpr keys::KeyCode kA = 0x01E;
constexpr keys::KeyCode kC = 0x02E;
constexpr keys::KeyCode kLeftCtrl = 0x01D;

TEST(MacroText, StepsAndDelaysBecomeActions) {
    const auto parsed = ParseMacroText(
        "press LCtrl, press C, 30ms\n release C; wait 120, up lctrl, tap A, 5", NoTexts);
    ASSERT_TRUE(std::holds_alternative<std::vector<MacroAction>>(parsed));
    const auto& actions = std::get<std::vector<MacroAction>>(parsed);
    const std::vector<MacroAction> expected{
        {0, kLeftCtrl, KeyState::Press},   {30, kC, KeyState::Press}, {120, kC, KeyState::Release},
        {0, kLeftCtrl, KeyState::Release}, {0, kA, KeyState::Press},  {5, kA, KeyState::Release},
    };
    EXPECT_EQ(actions, expected);
}

TEST(MacroText, BadStepsAreNamed) {
    const struct {
        const char* text;
        const char* mentions;
    } cases[] = {
        {"", "at least one key step"},  {"100ms, tap A", "step 1"},
        {"tap A, hold B", "step 2"},    {"tap A, press Nokey", "unknown key \"Nokey\""},
        {"tap A, 40001", "0 to 40000"}, {"tap A, wait soon", "0 to 40000"},
        {"tap", "unknown key"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseMacroText(c.text, NoTexts);
        ASSERT_TRUE(std::holds_alternative<MacroTextError>(parsed)) << c.text;
        EXPECT_NE(std::get<MacroTextError>(parsed).message.find(c.mentions), std::string::npos)
            << c.text << ": " << std::get<MacroTextError>(parsed).message;
    }
}

TEST(MacroText, StopsAtTheActionLimit) {
    std::string text;
    for (std::size_t i = 0; i < kMaxMacroActions / 2; ++i) {
        text += "tap A,";
    }
    EXPECT_TRUE(std::holds_alternative<std::vector<MacroAction>>(ParseMacroText(text, NoTexts)));
    EXPECT_TRUE(std::holds_alternative<MacroTextError>(ParseMacroText(text + "press A", NoTexts)));
}

}  // namespace
}  // namespace qv::macros
