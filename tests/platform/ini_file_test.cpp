#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "texts/temp_folder.h"

namespace qv::platform {
namespace {

// UTF-16 with a byte-order mark, from well-formed UTF-8.
std::string Utf16(std::string_view utf8, bool littleEndian = true) {
    std::string out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    const auto put = [&](char32_t unit) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        out += littleEndian ? std::string{low, high} : std::string{high, low};
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = Utf8SequenceLength(utf8, i);
        const auto lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
        i += length;
    }
    return out;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return out;
}

constexpr std::string_view kSample =
    "; a comment line\n"
    "orphan=above every section\n"
    "[Main]\n"
    "  Name = Value with spaces  \t\n"
    "quoted=\"  padded  \"\n"
    "single='x'\n"
    "mismatched=\"x'\n"
    "empty=\n"
    "blank =   \n"
    "equals=a=b\n"
    "no equals sign here\n"
    "Dup=first\n"
    "Dup=second\n"
    " [ Spaced ] text after the bracket\n"
    "k=v\n"
    "[main]\n"
    "late=in the second [Main]\n"
    "Dup=third\n"
    "[Other]\n"
    "name=\xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9F\x98\x80\n"  // "漢字 😀"
    "[Unclosed\n"
    "u=1";  // no line end on the last line

struct ReadCase {
    std::string_view section;
    std::string_view key;
    std::string_view expected;  // "<default>" when the default is expected
};

const std::vector<ReadCase> kReadCases = {
    {"Main", "Name", "Value with spaces"},
    {"MAIN", "nAmE", "Value with spaces"},
    {"Main", "quoted", "  padded  "},
    {"Main", "single", "x"},
    {"Main", "mismatched", "\"x'"},
    {"Main", "empty", ""},
    {"Main", "blank", ""},
    {"Main", "equals", "a=b"},
    {"Main", "Dup", "first"},
    {"Main", "late", "in the second [Main]"},
    {"Spaced", "k", "v"},
    {"Other", "name", "\xE6\xBC\xA2\xE5\xAD\x97 \xF0\x9F\x98\x80"},
    {"Unclosed", "u", "1"},
    {"Main", "orphan", "<default>"},
    {"", "orphan", "<default>"},
    {"Main", "no equals sign here", "<default>"},
    {"Main", "missing", "<default>"},
    {"Missing", "Name", "<default>"},
    {"Main", "; a comment line", "<default>"},
};

// The same text in every encoding and line end the reader accepts gives the same values.
TEST(IniFileTest, ReadsValuesAsTheProfileCallsDoInEveryEncoding) {
    const std::vector<std::pair<std::string, std::string>> variants = {
        {"UTF-8, LF", std::string(kSample)},
        {"UTF-8 with mark, CRLF", "\xEF\xBB\xBF" + WithCrLf(kSample)},
        {"UTF-16LE, CRLF", Utf16(WithCrLf(kSample))},
        {"UTF-16BE, LF", Utf16(kSample, false)},
        {"UTF-8, CR only",
         [] {
             std::string text(kSample);
             for (char& c : text) {
                 c = c == '\n' ? '\r' : c;
             }
             return text;
         }()},
    };
    for (const auto& [name, bytes] : variants) {
        const IniFile file = IniFile::ParseText(bytes);
        for (const ReadCase& c : kReadCases) {
            const std::string expected =
                c.expected == "<default>" ? "DEF" : std::string(c.expected);
            EXPECT_EQ(file.GetString(c.section, c.key, "DEF", kProfileReadMaxChars), expected)
                << name << ": [" << c.section << "] " << c.key;
        }
    }
}

TEST(IniFileTest, CutsValueAndDefaultToWholeCharacters) {
    // a, é (2 bytes), 漢 (3 bytes), 😀 (4 bytes), b
    const IniFile file = IniFile::ParseText(
        "[S]\nk=a\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80"
        "b\n");
    EXPECT_EQ(file.GetString("S", "k", "", 4), "a\xC3\xA9\xE6\xBC\xA2\xF0\x9F\x98\x80");
    EXPECT_EQ(file.GetString("S", "k", "", 3), "a\xC3\xA9\xE6\xBC\xA2");
    EXPECT_EQ(file.GetString("S", "k", "", 0), "");
    EXPECT_EQ(file.GetString("S", "missing", "\xE6\xBC\xA2\xE6\xBC\xA2", 1), "\xE6\xBC\xA2");

    const std::string longValue(300, 'x');
    const IniFile longFile = IniFile::ParseText("[S]\nk=" + longValue);
    EXPECT_EQ(longFile.GetString("S", "k", "", kProfileReadMaxChars), longValue.substr(0, 259));
}

TEST(IniFileTest, DecodesDamagedAndLegacyBytesWithoutFailing) {
    // UTF-16: a pair outside the BMP, a lone high surrogate, then an odd trailing byte.
    constexpr char kDamaged[] =
        "\xFF\xFE"
        "[\0S\0]\0\n\0"
        "k\0=\0"
        "\x3D\xD8\x00\xDE"  // U+1F600
        "\x3D\xD8"          // unpaired
        "x\0"
        "\x01";
    const IniFile damaged = IniFile::ParseText(std::string_view(kDamaged, sizeof kDamaged - 1));
    EXPECT_EQ(damaged.GetString("S", "k", "", 99), "\xF0\x9F\x98\x80\xEF\xBF\xBDx");

    // No mark and not UTF-8: the legacy Western code page, where 0x80 is the euro sign.
    const IniFile legacy = IniFile::ParseText("[S]\nk=caf\xE9 \x80\n");
    EXPECT_EQ(legacy.SourceEncoding(), TextEncoding::Windows1252);
    EXPECT_EQ(legacy.GetString("S", "k", "", 99), "caf\xC3\xA9 \xE2\x82\xAC");

    // A UTF-8 mark promises UTF-8: stray bytes become U+FFFD rather than a code-page guess.
    const IniFile marked = IniFile::ParseText(
        "\xEF\xBB\xBF[S]\nk=a\xFF"
        "b\n");
    EXPECT_EQ(marked.GetString("S", "k", "", 99),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextEncodingTest, RefusesIllFormedUtf8) {
    for (const std::string_view bad :
         {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80",
          "\xE6\xBC", "\x80", "a\xC3"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << testing::PrintToString(bad);
        EXPECT_TRUE(IsValidUtf8(SanitizeUtf8(bad)));
    }
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF\xED\x9F\xBF\xEF\xBF\xBD"));
    // A cut never ends inside a sequence, even a broken one.
    EXPECT_EQ(CutToCodePoints("\xE6\xBC\xA2\xE6\xBC", 2), "\xE6\xBC\xA2\xE6");
    EXPECT_EQ(CountCodePoints("\xE6\xBC\xA2\xE6\xBC"), 3u);
}

TEST(IniFileTest, UpdatingAKeyChangesOnlyItsValue) {
    const std::string original =
        "; settings\r\n"
        "[General]\r\n"
        "  Language = 2 \r\n"
        "other=x\r\n"
        "\r\n"
        "[PROFILES]\r\n"
        "language=not this one\r\n";
    IniFile file = IniFile::ParseText(original);
    ASSERT_EQ(file.SetString("general", "LANGUAGE", "1"), IniWriteStatus::Ok);
    EXPECT_EQ(file.Serialize(),
              "; settings\r\n"
              "[General]\r\n"
              "  Language = 1\r\n"
              "other=x\r\n"
              "\r\n"
              "[PROFILES]\r\n"
              "language=not this one\r\n");

    // An empty value leaves no blanks behind; a value after an empty one gets no spacing.
    ASSERT_EQ(file.SetString("General", "Language", ""), IniWriteStatus::Ok);
    EXPECT_NE(file.Serialize().find("\r\n  Language =\r\n"), std::string::npos);
    ASSERT_EQ(file.SetString("General", "Language", "3"), IniWriteStatus::Ok);
    EXPECT_NE(file.Serialize().find("\r\n  Language =3\r\n"), std::string::npos);
}

TEST(IniFileTest, AddsMissingKeysAndSectionsAroundTheRest) {
    IniFile file = IniFile::ParseText(
        "[A]\n"
        "a1=1\n"
        "; note inside A\n"
        "a2=2\n"
        "\n"
        "; about B\n"
        "[B]\n"
        "[Last]\n"
        "z=9");
    ASSERT_EQ(file.SetString("a", "a3", "3"), IniWriteStatus::Ok);
    ASSERT_EQ(file.SetString("B", "b1", "x"), IniWriteStatus::Ok);
    ASSERT_EQ(file.SetString("New", "n", "y"), IniWriteStatus::Ok);
    EXPECT_EQ(file.Serialize(),
              "[A]\n"
              "a1=1\n"
              "; note inside A\n"
              "a2=2\n"
              "a3=3\n"
              "\n"
              "; about B\n"
              "[B]\n"
              "b1=x\n"
              "[Last]\n"
              "z=9\n"
              "\n"
              "[New]\n"
              "n=y\n");

    IniFile empty;
    ASSERT_EQ(empty.SetString("S", "k", "v"), IniWriteStatus::Ok);
    EXPECT_EQ(empty.Serialize(), "[S]\nk=v\n");
}

TEST(IniFileTest, WrittenValuesReadBackExactly) {
    for (const std::string_view value : std::vector<std::string_view>{
             "plain", "", "  padded\t", "\"quoted\"", "'single'", "\"", "\"\"", "a=b",
             "; not a comment", "[not a section]", "\xE6\xBC\xA2\xE5\xAD\x97",
             std::string_view("nul\0inside", 10)}) {
        IniFile file = IniFile::ParseText("[S]\nk=old\n");
        ASSERT_EQ(file.SetString("S", "k", value), IniWriteStatus::Ok);
        EXPECT_EQ(file.Find("S", "k"), value);
        EXPECT_EQ(IniFile::ParseText(file.Serialize()).Find("S", "k"), value);
    }
}

TEST(IniFileTest, RefusesNamesAndValuesALineCannotCarry) {
    struct Case {
        std::string_view section, key, value;
        IniWriteStatus expected;
    };
    const std::vector<Case> cases = {
        {"", "k", "v", IniWriteStatus::InvalidName},
        {"a]b", "k", "v", IniWriteStatus::InvalidName},
        {" S", "k", "v", IniWriteStatus::InvalidName},
        {"S\nT", "k", "v", IniWriteStatus::InvalidName},
        {"S", "", "v", IniWriteStatus::InvalidName},
        {"S", "a=b", "v", IniWriteStatus::InvalidName},
        {"S", "[k", "v", IniWriteStatus::InvalidName},
        {"S", ";k", "v", IniWriteStatus::InvalidName},
        {"S", "k ", "v", IniWriteStatus::InvalidName},
        {"S", "k\xFF", "v", IniWriteStatus::InvalidName},
        {"S", "k", "line\nbreak", IniWriteStatus::InvalidValue},
        {"S", "k", "cr\r", IniWriteStatus::InvalidValue},
        {"S", "k", "bad\xC3", IniWriteStatus::InvalidValue},
    };
    const std::string original = "[S]\nk=old\n";
    for (const Case& c : cases) {
        IniFile file = IniFile::ParseText(original);
        EXPECT_EQ(file.SetString(c.section, c.key, c.value), c.expected)
            << testing::PrintToString(c.section) << " " << testing::PrintToString(c.key);
        EXPECT_EQ(file.Serialize(), original);
    }
}

TEST(IniFileTest, RewritesUnicodeInputAsUtf8AndKeepsAUtf8Mark) {
    IniFile wide = IniFile::ParseText(Utf16("[S]\r\nk=\xE6\xBC\xA2\r\n"));
    ASSERT_EQ(wide.SetString("S", "n", "1"), IniWriteStatus::Ok);
    EXPECT_EQ(wide.Serialize(), "[S]\r\nk=\xE6\xBC\xA2\r\nn=1\r\n");

    IniFile marked = IniFile::ParseText("\xEF\xBB\xBF[S]\nk=1\n");
    ASSERT_EQ(marked.SetString("S", "k", "2"), IniWriteStatus::Ok);
    EXPECT_EQ(marked.Serialize(), "\xEF\xBB\xBF[S]\nk=2\n");

    // A text that starts with U+FEFF itself keeps it through a rewrite.
    const IniFile doubled = IniFile::ParseText(Utf16("\xEF\xBB\xBFk=1\n[S]\n"));
    EXPECT_EQ(IniFile::ParseText(doubled.Serialize()).Serialize(), doubled.Serialize());
}

TEST(IniFileTest, ProfileCallsOnFiles) {
    const test::TempFolder folder;
    const auto path = folder.Path() / "settings.ini";

    EXPECT_EQ(ReadProfileString(path, "S", "k", "default", 259), "default");
    ASSERT_EQ(WriteProfileString(path, "S", "k", "one"), IniWriteStatus::Ok);
    ASSERT_EQ(WriteProfileString(path, "S", "other", "two"), IniWriteStatus::Ok);
    EXPECT_EQ(ReadProfileString(path, "s", "K", "default", 259), "one");
    EXPECT_EQ(folder.Read("settings.ini"), "[S]\nk=one\nother=two\n");
    // Written through a temporary file that is renamed over the real one.
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"settings.ini"});

    // Something that is not a readable file is neither read nor replaced.
    std::filesystem::create_directories(folder.Path() / "dir.ini");
    EXPECT_EQ(ReadProfileString(folder.Path() / "dir.ini", "S", "k", "default", 259), "default");
    EXPECT_EQ(WriteProfileString(folder.Path() / "dir.ini", "S", "k", "v"),
              IniWriteStatus::Unreadable);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "dir.ini"));

    EXPECT_EQ(WriteProfileString(folder.Path() / "no-such-folder" / "x.ini", "S", "k", "v"),
              IniWriteStatus::WriteFailed);
}

}  // namespace
}  // namespace qv::platform
