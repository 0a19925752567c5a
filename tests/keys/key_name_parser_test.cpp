#include <gtest/gtest.h>

#include "keys/key_name_parser.h"

namespace qv::keys {
namespace {

// Shown names as a language file gives them; keys it lacks come back as "#Error".
std::string FakeLookup(const std::string& key) {
    if (key == "IDS_KEYBOARD_BS") {
        return "Backspace";
    }
    if (key == "IDS_KEYBOARD_PAGE_UP") {
        return "Page Up";
    }
    if (key == "IDS_KEYBOARD_A") {
        return "A";
    }
    return "#Error";
}

TEST(KeyNameParser, AcceptsShownNamesShortNamesAndCodes) {
    const struct {
        const char* text;
        KeyCode code;
    } cases[] = {
        {"Backspace", 0x00E}, {"backspace", 0x00E}, {"BS", 0x00E},        {"page-up", 0x149},
        {"PAGE_UP", 0x149},   {"a", 0x01E},         {"lctrl", 0x01D},     {"0x1e", 0x01E},
        {"F12", 0x058},       {"mou left", 0x171},  {"ROLL_DOWN", 0x162},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseKeyName(c.text, FakeLookup), std::optional<KeyCode>(c.code)) << c.text;
    }
}

TEST(KeyNameParser, RefusesWhatNamesNoKey) {
    for (const char* text : {"", " ", "nokey", "0x", "0x10000", "0xZZ", "#Error", "0x0"}) {
        EXPECT_EQ(ParseKeyName(text, FakeLookup), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace qv::keys
