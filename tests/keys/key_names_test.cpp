#include <gtest/gtest.h>

#include <map>
#include <string>

#include "keys/key_names.h"
#include "keys/unknown_key_format.h"

namespace qv::keys {
namespace {

// Behaves like the localised-string lookup: a missing key gives "#Error".
class FakeTexts {
public:
    std::map<std::string, std::string> texts = {
        {"IDS_KEYBOARD_PAUSE", "Pause"},
        {"IDS_KEYBOARD_A", "A"},
        {"IDS_KEYBOARD_RSHIFT", "Right Shift"},
        {"IDS_COMPOSITE_FUNC_KEY_OPEN", "Open"},
        {"Unknown Key: %03x", "Unknown Key: %03x"},
    };

    TextLookupFn Lookup() {
        return [this](const std::string& key) {
            const auto it = texts.find(key);
            return it == texts.end() ? std::string("#Error") : it->second;
        };
    }
};

TEST(KeyName, NamedKeysGoThroughTheLookup) {
    FakeTexts texts;
    EXPECT_EQ(KeyName(0x045, texts.Lookup()), "Pause");
    EXPECT_EQ(KeyName(0x145, texts.Lookup()), "#Error") << "a missing translation shows as such";
}

TEST(KeyName, KeysWithoutNameUseTheUnknownKeyFormat) {
    FakeTexts texts;
    EXPECT_EQ(KeyName(0x064, texts.Lookup()), "Unknown Key: 064") << "F13 has no name key";
    EXPECT_EQ(KeyName(0x05A, texts.Lookup()), "Unknown Key: 05a") << "empty slot";
    EXPECT_EQ(KeyName(GKeyCode(1), texts.Lookup()), "Unknown Key: 200");

    texts.texts["IDS_KEYBOARD_PAUSE"] = "";
    EXPECT_EQ(KeyName(0x045, texts.Lookup()), "Unknown Key: 045") << "empty translation";

    texts.texts["Unknown Key: %03x"] = "Taste %d (%%)";
    EXPECT_EQ(KeyName(0x064, texts.Lookup()), "Taste 100 (%)");

    texts.texts["Unknown Key: %03x"] = "Key %s";
    EXPECT_EQ(KeyName(0x064, texts.Lookup()), "Unknown Key: 064") << "unsafe format replaced";

    texts.texts.erase("Unknown Key: %03x");
    EXPECT_EQ(KeyName(0x064, texts.Lookup()), "#Error") << "a failed lookup shows as such";
}

TEST(KeyName, CutToTheCapacityWithoutSplittingCharacters) {
    FakeTexts texts;
    texts.texts["IDS_KEYBOARD_A"] = std::string(300, 'x');
    EXPECT_EQ(KeyName(0x01E, texts.Lookup()).size(), kKeyNameCapacity - 1);

    std::string wide;
    for (int i = 0; i < 300; ++i) {
        wide += "\xC3\xA9";  // é
    }
    texts.texts["IDS_KEYBOARD_A"] = wide;
    EXPECT_EQ(KeyName(0x01E, texts.Lookup()), wide.substr(0, 2 * (kKeyNameCapacity - 1)));
    EXPECT_EQ(KeyName(0x01E, texts.Lookup(), 4), "\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(KeyName(0x064, texts.Lookup(), 8), "Unknown");
}

TEST(KeyName, ByListIdHasNoUnknownFallback) {
    FakeTexts texts;
    EXPECT_EQ(KeyNameByListId(0, texts.Lookup()), "A");
    EXPECT_EQ(KeyNameByListId(103, texts.Lookup()), "Right Shift");
    EXPECT_EQ(KeyNameByListId(106, texts.Lookup()), "");
    EXPECT_EQ(KeyNameByListId(0x802D, texts.Lookup()), "") << "F13 has no name key";
}

TEST(KeyName, FunctionNames) {
    FakeTexts texts;
    EXPECT_EQ(FunctionName(0, texts.Lookup()), "Open");
    EXPECT_EQ(FunctionName(10, texts.Lookup()), "#Error");
    EXPECT_EQ(FunctionName(11, texts.Lookup()), "");
}

TEST(KeyUnknownFormat, AcceptsOnlyOneIntegerConversion) {
    struct Case {
        std::string format;
        bool safe;
    };
    const Case cases[] = {
        {"Unknown Key: %03x", true},
        {"%-+ #05.3X", true},
        {"%o %%", true},
        {"%i", true},
        {"plain text", true},
        {"100%%", true},
        {"", true},
        {"%x %x", false},
        {"%s", false},
        {"%n", false},
        {"%p", false},
        {"%c", false},
        {"%*x", false},
        {"%.*x", false},
        {"%lx", false},
        {"%hhx", false},
        {"%1000x", false},
        {"%.1000x", false},
        {"%", false},
        {"abc%", false},
        {std::string("%x\0%s", 5), true},  // printf never sees past the NUL
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSafeUnknownKeyFormat(c.format), c.safe) << c.format;
    }
}

TEST(KeyUnknownFormat, FormatsWithTheConversionsType) {
    EXPECT_EQ(FormatUnknownKeyName("%03x", 0x05A), "05a");
    EXPECT_EQ(FormatUnknownKeyName("%X", 0x16B), "16B");
    EXPECT_EQ(FormatUnknownKeyName("%+d", 0x100), "+256");
    EXPECT_EQ(FormatUnknownKeyName("%o", 8), "10");
    EXPECT_EQ(FormatUnknownKeyName("%-5u|", 7), "7    |");
    EXPECT_EQ(FormatUnknownKeyName("%s%s%s", 7), "Unknown Key: 007");
    EXPECT_EQ(FormatUnknownKeyName(std::string("%x\0%s", 5), 0x40), "40");
    EXPECT_EQ(FormatUnknownKeyName("", 0x40), "");
}

}  // namespace
}  // namespace qv::keys
