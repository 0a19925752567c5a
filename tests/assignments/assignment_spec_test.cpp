#include <gtest/gtest.h>

#include "assignments/assignment_spec.h"
#include "assignments/entry_rules.h"
#include "keys/key_table.h"
#include "keys/shipped_key_names.h"

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
    // Codes in hex name their own slot only, never the slot another code folds onto.
    EXPECT_EQ(ParseKeySlot("0x10E", FakeLookup), std::size_t{0x8E});
    EXPECT_EQ(ParseKeySlot("0x08E", FakeLookup), std::nullopt);
    EXPECT_EQ(ParseKeySlot("0x1EE", FakeLookup), std::nullopt);
}

// Messages and listings name a slot the way a user types it back, the "-" key too. A key with
// two codes (Right Shift) has two slots of one name, which gives the first.
TEST(AssignmentSpec, EverySlotsNameParsesBackToASlotOfThatName) {
    const TextLookupFn names = ShippedKeyNames();
    for (std::size_t slot = 0; slot < kGKeySlotEnd; ++slot) {
        if (slot < kKeySlotCount && kKeyTable[slot].nameKey.empty()) {
            continue;
        }
        const std::string name = KeySlotName(slot, names);
        const std::optional<std::size_t> parsed = ParseKeySlot(name, names);
        ASSERT_TRUE(parsed.has_value()) << "slot " << slot << ", \"" << name << "\"";
        EXPECT_EQ(KeySlotName(*parsed, names), name) << "slot " << slot;
    }
    EXPECT_EQ(ParseKeySlot(" - ", names), std::size_t{0x0C});
}

constexpr std::size_t kG9 = kFirstGKeySlot + 8;
constexpr std::size_t kG18 = kFirstGKeySlot + 17;  // the ninth G key of the second bank

std::string ErrorOf(const std::variant<KeyEntry, AssignmentError>& parsed) {
    const auto* error = std::get_if<AssignmentError>(&parsed);
    return error ? error->message : std::string();
}

TEST(AssignmentSpec, AKeyGivenItselfIsAtItsDefault) {
    const struct {
        const char* text;
        std::size_t slot;
        KeyEntry entry;
    } cases[] = {
        {"key:Caps Lock", 0x3A, {}},
        {"key:0x136", 0x36, {}},  // Right Shift by its second code
        {"key:Right Shift", 0x36, {}},
        {"key:0x136", 0x3A, {.kind = KeyKind::Key, .value = 0x036}},  // sent as the first code
        {"key:Right Ctrl", 0x9D, {}},                                 // an extended key's slot
        {"key:A", 0x3A, {.kind = KeyKind::Key, .value = 0x01E}},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseAssignment(c.text, 1, c.slot, {}, ShippedKeyNames());
        ASSERT_TRUE(std::holds_alternative<KeyEntry>(parsed)) << c.text << ": " << ErrorOf(parsed);
        EXPECT_EQ(std::get<KeyEntry>(parsed), c.entry) << c.text;
    }
}

TEST(AssignmentSpec, TheNinthGKeyOfEachBankPlaysMacrosOnly) {
    macros::MacroList macros(1);
    macros[0].macroId = 7;
    for (const std::size_t slot : {kG9, kG18}) {
        EXPECT_TRUE(IsMacroOnlySlot(slot));
        const auto macro = ParseAssignment("macro:7", 2, slot, macros, ShippedKeyNames());
        EXPECT_EQ(std::get<KeyEntry>(macro),
                  (KeyEntry{.kind = KeyKind::Macro, .aux = 2, .value = 7}));
        const auto reset = ParseAssignment("default", 1, slot, macros, ShippedKeyNames());
        EXPECT_EQ(std::get<KeyEntry>(reset), KeyEntry{.aux = GKeyAuxCode(slot)});
        for (const char* text :
             {"key:A", "mouse:left", "media:Mute", "function:copy", "disabled", "stop-macro"}) {
            const std::string error =
                ErrorOf(ParseAssignment(text, 1, slot, macros, ShippedKeyNames()));
            EXPECT_NE(error.find("macros only"), std::string::npos) << text << ": " << error;
            EXPECT_NE(error.find("macro:ID"), std::string::npos) << error;
        }
    }
    EXPECT_NE(ErrorOf(ParseAssignment("key:A", 1, kG18, macros, ShippedKeyNames())).find("G18"),
              std::string::npos);
    EXPECT_FALSE(IsMacroOnlySlot(kG9 - 1));
    EXPECT_FALSE(IsMacroOnlySlot(kG9 + 1));
    EXPECT_TRUE(std::holds_alternative<KeyEntry>(
        ParseAssignment("key:A", 1, kG9 - 1, macros, ShippedKeyNames())))
        << "G8 takes keys";
}

TEST(AssignmentSpec, KeyTargetsAreTheKeysOfTheKeyList) {
    const struct {
        const char* text;
        const char* hint;  // what to use instead, when there is something
    } cases[] = {
        {"key:Copy", "function:copy"},
        {"key:Zoom In", "function:zoomin"},
        {"key:Word", nullptr},
        {"key:Excel", nullptr},
        {"key:PowerPoint", nullptr},
        {"key:Calendar", nullptr},
        {"key:Double Click", nullptr},
        {"key:Pan Left", nullptr},
        {"key:Pan Right", nullptr},
        {"key:Sys Req", nullptr},
        {"key:Yen", nullptr},
        {"key:0x064", nullptr},  // F13
        {"key:Power", nullptr},
        {"key:Mute", "media:Mute"},
        {"key:Left Button", "mouse:left"},
        {"key:Wheel Down", "mouse:wheel-down"},
    };
    for (const auto& c : cases) {
        const std::string error = ErrorOf(ParseAssignment(c.text, 1, 0x3A, {}, ShippedKeyNames()));
        ASSERT_FALSE(error.empty()) << c.text << " is refused";
        EXPECT_NE(error.find("key: takes the keys of the key list"), std::string::npos) << error;
        EXPECT_NE(error.find("quorvanectl keys list"), std::string::npos) << error;
        if (c.hint != nullptr) {
            EXPECT_NE(error.find(c.hint), std::string::npos) << error;
        }
    }
    EXPECT_NE(ErrorOf(ParseAssignment("key:Copy", 1, 0x3A, {}, ShippedKeyNames()))
                  .find("cannot send \"Copy\" as a key"),
              std::string::npos);
}

// The built-in table with the G keys 1..9 where a keyboard names them: in its "no function"
// positions 0..5 and 6, 7, 22.
KeyDefaultTable TableWithGKeys() {
    KeyDefaultTable table = kBuiltInKeyDefaultTable;
    const std::size_t positions[] = {0, 1, 2, 3, 4, 5, 6, 7, 22};
    for (std::size_t n = 1; n <= std::size(positions); ++n) {
        const std::size_t at = positions[n - 1] * DeviceAction::kSize;
        table[at] = 0x06;
        table[at + 1] = 0xA2;
        table[at + 2] = static_cast<std::uint8_t>(n);
    }
    return table;
}

TEST(KeyPagePosition, OnlyKeysTheDefaultTableNamesHaveOne) {
    const KeyDefaultTable withGKeys = TableWithGKeys();
    const struct {
        std::size_t slot;
        bool builtIn;
        bool withGKeys;
    } cases[] = {
        {0x01, true, true},                  // Esc
        {0x1E, true, true},                  // A
        {0x1D, true, true},                  // Left Ctrl, a modifier bit
        {0xB8, true, true},                  // Right Alt (0x138)
        {0x1C, false, false},                // Enter
        {0x32, false, false},                // M
        {0x36, false, false},                // Right Shift
        {kFirstGKeySlot, false, true},       // G1
        {kG9, false, true},                  // G9
        {kFirstGKeySlot + 9, false, false},  // G10
        {kG18, false, false},                // G18
        {0, false, false},                   // no key
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasKeyPagePosition(c.slot, kBuiltInKeyDefaultTable), c.builtIn) << c.slot;
        EXPECT_EQ(HasKeyPagePosition(c.slot, withGKeys), c.withGKeys) << c.slot;
    }
}

TEST(EntryRules, WhatTheKeyboardCannotHoldIsRefused) {
    const KeyDefaultTable table = TableWithGKeys();
    macros::MacroList macros(1);
    macros[0].macroId = 7;
    const std::size_t g1 = kFirstGKeySlot;
    const std::size_t g9 = kFirstGKeySlot + kGKeysPerBank - 1;
    const struct {
        std::size_t slot;
        KeyEntry entry;
        std::optional<EntryRefusal> refusal;
    } cases[] = {
        {0x3A, {.kind = KeyKind::Key, .value = 0x01D}, std::nullopt},  // Caps Lock: Left Ctrl
        {0x3A, {.kind = KeyKind::Disabled}, std::nullopt},
        {0x3A, {.kind = KeyKind::Macro, .aux = 1, .value = 7}, std::nullopt},
        {g1, {.kind = KeyKind::Media, .aux = 0x0301, .value = 0}, std::nullopt},
        {0x1C, {.kind = KeyKind::Key, .value = 0x01E}, EntryRefusal::NotRemappable},  // Enter
        {0x32, {.kind = KeyKind::Disabled}, EntryRefusal::NotRemappable},             // M
        {g1 + 9, {.kind = KeyKind::Function, .value = 0}, EntryRefusal::NotRemappable},
        {0x1C, {}, std::nullopt},  // a reset changes no page: always allowed
        {g9, {.kind = KeyKind::Disabled}, EntryRefusal::MacroOnlyKey},
        {g9, {.kind = KeyKind::Macro, .value = 7}, std::nullopt},
        {0x3A, {.kind = KeyKind::Key, .value = 0x0FFF}, EntryRefusal::TargetNotSendable},
        {0x3A, {.kind = KeyKind::Media, .value = 99}, EntryRefusal::TargetNotSendable},
        {0x3A, {.kind = KeyKind::Function, .value = 11}, EntryRefusal::TargetNotSendable},
        {0x3A, {.kind = KeyKind::LaunchProgram}, EntryRefusal::TargetNotSendable},
        {0x3A, {.kind = KeyKind::Macro, .value = 8}, EntryRefusal::NoSuchMacro},
        {kGKeySlotEnd, {.kind = KeyKind::Disabled}, EntryRefusal::NoSuchKey},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckKeyEntry(c.slot, c.entry, table, macros), c.refusal)
            << "slot " << c.slot << " kind " << static_cast<int>(c.entry.kind);
    }
    EXPECT_EQ(CheckKeyEntry(g1, {.kind = KeyKind::Disabled}, kBuiltInKeyDefaultTable, macros),
              EntryRefusal::NotRemappable)
        << "the built-in table names no G key";
}

TEST(AssignmentSpec, MistypedNamesGetSuggestions) {
    const auto lookup = ShippedKeyNames();
    const struct {
        const char* text;
        const char* mentions;
    } cases[] = {
        {"key:Captial Lock", "unknown key \"Captial Lock\"; did you mean: Caps Lock"},
        {"media:Mutte", "did you mean: Mute"},
        {"function:selct all", "did you mean: selectall"},
        {"media:Volume Upp", "did you mean: Volume Up"},
    };
    for (const auto& c : cases) {
        const std::string error = ErrorOf(ParseAssignment(c.text, 1, 0x3A, {}, lookup));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
    }
    EXPECT_EQ(ErrorOf(ParseAssignment("key:qqqqqqqq", 1, 0x3A, {}, lookup)).find("did you mean"),
              std::string::npos);
}

}  // namespace
}  // namespace qv::keys
