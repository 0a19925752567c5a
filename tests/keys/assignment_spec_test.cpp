#include <gtest/gtest.h>

#include "keys/assignment_spec.h"

namespace qv::keys {
namespace {

std::string FakeLookup(const std::string& key) {
    return key == "IDS_KEYBOARD_MUTE" ? "Mute" : "#Error";
}

TEST(AssignmentSpec, TextBecomesTheEntry) {
    macros::MacroList macros(1);
    macros[0].macroId = 7;
    const std::size_t capsLock = 0x3A;
    const std::size_t g2 = kFirstGKeySlot + 1;
    const struct {
        const char* text;
        std::size_t slot;
        KeyEntry entry;
    } cases[] = {
        {"default", capsLock, {}},
        {"default", g2, {.aux = 0x0302}},
        {"disabled", g2, {.kind = KeyKind::Disabled, .aux = 0x0302}},
        {"stop-macro", capsLock, {.kind = KeyKind::StopMacro}},
        {"key:LCTRL", capsLock, {.kind = KeyKind::Key, .value = 0x01D}},
        {"key:0x1e", g2, {.kind = KeyKind::Key, .aux = 0x0302, .value = 0x01E}},
        {"mouse:wheel-down", capsLock, {.kind = KeyKind::Key, .value = 0x162}},
        {"macro:7", g2, {.kind = KeyKind::Macro, .aux = 3, .value = 7}},
        {"media:mute", capsLock, {.kind = KeyKind::Media, .value = 7}},
        {"function:select-all", capsLock, {.kind = KeyKind::Function, .value = 8}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseAssignment(c.text, 3, c.slot, macros, FakeLookup);
        ASSERT_TRUE(std::holds_alternative<KeyEntry>(parsed)) << c.text;
        EXPECT_EQ(std::get<KeyEntry>(parsed), c.entry) << c.text;
    }
}

TEST(AssignmentSpec, BadTextSaysWhatIsAccepted) {
    macros::MacroList macros(1);
    macros[0].macroId = 7;
    const struct {
        const char* text;
        int repeat;
        const char* mentions;
    } cases[] = {
        {"key:nokey", 1, "unknown key"}, {"mouse:side", 1, "wheel-up"},
        {"macro:8", 1, "macro list"},    {"macro:7", 0, "1 to 255"},
        {"macro:7", 256, "1 to 255"},    {"media:loud", 1, "Mute"},
        {"function:fly", 1, "select"},   {"remap", 1, "key:NAME"},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseAssignment(c.text, c.repeat, 0x3A, macros, FakeLookup);
        ASSERT_TRUE(std::holds_alternative<AssignmentError>(parsed)) << c.text;
        EXPECT_NE(std::get<AssignmentError>(parsed).message.find(c.mentions), std::string::npos)
            << std::get<AssignmentError>(parsed).message;
    }
}

TEST(AssignmentSpec, KeySlotsIncludeTheGKeys) {
    EXPECT_EQ(ParseKeySlot("G1", FakeLookup), kFirstGKeySlot);
    EXPECT_EQ(ParseKeySlot("g18", FakeLookup), kFirstGKeySlot + 17);
    EXPECT_EQ(ParseKeySlot("G19", FakeLookup), std::nullopt);
    EXPECT_EQ(ParseKeySlot("caps", FakeLookup), std::size_t{0x3A});
    EXPECT_EQ(ParseKeySlot("nokey", FakeLookup), std::nullopt);
}

}  // namespace
}  // namespace qv::keys
