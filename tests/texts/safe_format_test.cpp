#include "texts/safe_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "platform/system_language.h"
#include "temp_folder.h"
#include "texts/text_lookup.h"
#include "texts/text_table.h"

namespace qv::ui {
namespace {

std::optional<std::string> Format(std::string_view format, std::initializer_list<FormatArg> args) {
    return FormatChecked(format, std::span<const FormatArg>(args.begin(), args.size()));
}

// The C library is the reference for formats that are well-defined for the argument's type.
template <typename T>
std::string Reference(const char* format, T value) {
    char buffer[2048];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(buffer, sizeof buffer, format, value);
#pragma GCC diagnostic pop
    return buffer;
}

TEST(SafeFormatTest, FormatsIntegersAsPrintfDoes) {
    const std::vector<const char*> signedFormats = {
        "%d",     "%i",    "[%5d]", "[%-5d]",  "%05d", "%+d",  "% d",  "%.3d",
        "%08.3d", "%+05d", "%.0d",  "%-+7.2d", "%hd",  "%hhd", "%10d", "%1024d"};
    for (const int value : {0, 7, -42, 123456, INT_MAX, INT_MIN, 70000, 300}) {
        for (const char* format : signedFormats) {
            EXPECT_EQ(Format(format, {value}), Reference(format, value)) << format << " " << value;
        }
    }
    const std::vector<const char*> unsignedFormats = {
        "%u",   "%x",     "%X",   "%o",     "%03x", "%#x",  "%#X", "%#o", "%#.0o",
        "%.0x", "[%-6x]", "%08X", "%#010x", "%hx",  "%hhx", "%hu", "%.5o"};
    for (const unsigned value : {0u, 1u, 0x1Au, 0x1234u, 0xFFFFFFFFu, 0x80000000u, 8u}) {
        for (const char* format : unsignedFormats) {
            EXPECT_EQ(Format(format, {value}), Reference(format, value)) << format << " " << value;
        }
    }
    // Across signedness, as printf reads the bits, and the length modifiers of wider types.
    EXPECT_EQ(Format("%u %x", {-1, -2}), "4294967295 fffffffe");
    EXPECT_EQ(Format("%d", {5u}), "5");
    EXPECT_EQ(Format("%ld %lld %lx %zu %jd %td", {1, 2, 3u, 4u, 5, 6}), "1 2 3 4 5 6");
    EXPECT_EQ(Format("100%% of %d%%", {3}), "100% of 3%");
}

TEST(SafeFormatTest, FormatsTextsByCharacters) {
    for (const char* format : {"%s", "[%10s]", "[%-10s]", "%.3s", "[%8.2s]", "[%-8.2s]"}) {
        EXPECT_EQ(Format(format, {std::string_view("abcdef")}), Reference(format, "abcdef"))
            << format;
    }
    // The narrow and wide forms of the other platform's printf are both our one text type.
    EXPECT_EQ(Format("%hs %ls", {std::string_view("a"), std::string_view("b")}), "a b");
    // Width and precision count characters, so a cut never splits one.
    EXPECT_EQ(Format("[%.2s]", {std::string_view("\xE6\xBC\xA2\xE5\xAD\x97x")}),
              "[\xE6\xBC\xA2\xE5\xAD\x97]");
    EXPECT_EQ(Format("[%4s]", {std::string_view("\xE6\xBC\xA2")}), "[   \xE6\xBC\xA2]");
    EXPECT_EQ(Format("%s%d", {std::string_view("Macro"), 3}), "Macro3");
}

TEST(SafeFormatTest, HostileFormatsFallBackToTheBuiltInOne) {
    struct Case {
        std::string_view format;
        std::vector<FormatArg> args;
    };
    const std::string_view path = "/home/user/profile.fwc";
    const std::vector<Case> cases = {
        {"%s%s%n", {path}},
        {"%n", {5}},
        {"%x", {path}},
        {"%s", {5}},
        {"%d", {0x80000000u}},  // does not fit an int
        {"%99999999d", {5}},
        {"%1025d", {5}},
        {"%.1025d", {5}},
        {"%*d", {5}},
        {"%.*d", {5}},
        {"%1$d", {5}},
        {"%d %d", {5}},
        {"no conversion", {5}},
        {"%d", {}},
        {"%", {5}},
        {"%l", {5}},
        {"%c", {65}},
        {"%f", {5}},
        {"%p", {5}},
        {"%I64d", {5}},
        {"%'d", {5}},
        {"%Ld", {5}},
        {"%#d", {5}},
        {"%+u", {5u}},
        {"%#s", {path}},
        {"%05s", {path}},
        {"%+s", {path}},
        {"%hhs", {path}},
        {"%lls", {path}},
        {"%zs", {path}},
        {"% %", {5}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatChecked(c.format, c.args), std::nullopt) << c.format;
        const std::string_view fallback =
            c.args.size() == 1 && std::holds_alternative<int>(c.args[0]) ? "fallback %d"
                                                                         : "fallback";
        const std::string result = SafeFormat(c.format, fallback, c.args);
        EXPECT_TRUE(result.starts_with("fallback")) << c.format << " -> " << result;
    }
    // A built-in format that does not fit either is shown as it stands.
    EXPECT_EQ(SafeFormat("%n", "Unknown Key: %03x", {std::string_view("text")}),
              "Unknown Key: %03x");
}

TEST(SafeFormatTest, HandlesVeryLongTexts) {
    const std::string longFormat = std::string(100000, 'x') + "%d" + std::string(100000, 'y');
    const std::string result = SafeFormat(longFormat, "fallback", {42});
    EXPECT_EQ(result.size(), 200002u);
    EXPECT_EQ(result.substr(99999, 4), "x42y");

    const std::string longText(100000, 'z');
    EXPECT_EQ(SafeFormat("%s!", "fallback", {std::string_view(longText)}), longText + "!");
    // Many conversions, each with the largest width, for as many arguments.
    std::string manyFormat;
    std::vector<FormatArg> manyArgs;
    for (int i = 0; i < 100; ++i) {
        manyFormat += "%1024d";
        manyArgs.emplace_back(i);
    }
    EXPECT_EQ(SafeFormat(manyFormat, "fallback", manyArgs).size(), 102400u);
}

// A language file written against the program: its texts for the three format slots are
// hostile, and the built-in formats are used in their place.
TEST(SafeFormatTest, HostileLanguageFileTextsUseTheBuiltInFormats) {
    const test::TempFolder folder;
    platform::MemorySettingsStore store;
    const platform::FixedSystemLanguage system(0x0409);
    const TextLookup lookup(folder.Path(), store, system);
    const TextTable table;
    const std::string unknownKey = table.SlotText(TextSlot::UNKNOWN_KEY);
    const std::string macroErrMax = table.SlotText(TextSlot::MACRO_ERR_MAX);

    folder.Write("Lang0409.ini", "[TEXT]\n" + unknownKey + "=Taste %s%s%n\n" + macroErrMax +
                                     "=%99999999d macros\n");
    EXPECT_EQ(
        SafeFormat(lookup.LookupText(unknownKey), BuiltInText(TextSlot::UNKNOWN_KEY), {0x1Au}),
        "Unknown Key: 01a");
    EXPECT_EQ(SafeFormat(lookup.LookupText(macroErrMax), "At most %d macros.", {100}),
              "At most 100 macros.");
    EXPECT_EQ(SafeFormat("%x %x %x %x", BuiltInText(TextSlot::PROFILE_FORMAT_ERROR),
                         {std::string_view("/p/x.fwc")}),
              "This profile file has the wrong format and was not used: /p/x.fwc");

    folder.Write("Lang0409.ini", "[TEXT]\n" + unknownKey + "=Taste %04X\n" + macroErrMax +
                                     "=Nicht mehr als %d Makros.\n");
    EXPECT_EQ(
        SafeFormat(lookup.LookupText(unknownKey), BuiltInText(TextSlot::UNKNOWN_KEY), {0x1Au}),
        "Taste 001A");
    EXPECT_EQ(SafeFormat(lookup.LookupText(macroErrMax), "At most %d macros.", {100}),
              "Nicht mehr als 100 Makros.");
}

}  // namespace
}  // namespace qv::ui
