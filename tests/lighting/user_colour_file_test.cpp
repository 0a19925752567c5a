// The per-profile user colour files: defaults of a fresh profile, what a write puts where, a
// round trip of every value, the template copy, and damaged files refused as a whole.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "lighting/user_colour_file.h"
#include "platform/ini_file.h"
#include "texts/temp_folder.h"

namespace qv::lighting {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& path, std::string_view content) {
    std::ofstream(path, std::ios::binary) << content;
}

UserColourFile LoadOk(const std::filesystem::path& path) {
    auto loaded = UserColourFile::Load(path);
    EXPECT_TRUE(std::holds_alternative<UserColourFile>(loaded)) << std::get<std::string>(loaded);
    return std::holds_alternative<UserColourFile>(loaded) ? std::get<UserColourFile>(loaded)
                                                          : UserColourFile();
}

class UserColourFileTest : public ::testing::Test {
protected:
    test::TempFolder folder;
};

TEST_F(UserColourFileTest, AFreshProfileReadsTheDefaults) {
    const UserColourFile file = LoadOk(UserColourFilePath(folder.Path(), 2));
    EXPECT_EQ(file.PresentScheme(), 0);
    for (int scheme = 0; scheme < kSchemeCount; ++scheme) {
        EXPECT_EQ(file.SchemeName(scheme), "0");
        EXPECT_EQ(file.Tools(scheme), SchemeTools{});
    }
    EXPECT_EQ(file.Slot(4, 42), (SlotEntry{0x0000FF, true}));
    EXPECT_EQ(UserColourFilePath(folder.Path(), 2).filename(), "UserDengColor_2.userd");
}

TEST_F(UserColourFileTest, EveryValueIsWrittenAsDecimalTextAndReadsBack) {
    const auto path = UserColourFilePath(folder.Path() / "new", 1);
    UserColourFile file;
    file.SetSlot(3, 42, {0x0A141E, false});  // red 30, green 20, blue 10
    file.SetTools(3, {1, 0x010203, 0xFFFFFF});
    file.SetPresentScheme(3);
    ASSERT_TRUE(file.SetSchemeName(3, "Night mode"));
    EXPECT_FALSE(file.SetSchemeName(4, "two\nlines"));
    ASSERT_FALSE(file.Save(path));

    const auto ini = platform::IniFile::Load(path).file;
    EXPECT_EQ(ini.Find("Mode3", "42"), "30,20,10,0");
    EXPECT_EQ(ini.Find("Mode3", "jcolor"), "3,2,1");
    EXPECT_EQ(ini.Find("Mode3", "color"), "255,255,255");
    EXPECT_EQ(ini.Find("Mode3", "tool"), "1");
    EXPECT_EQ(ini.Find("PRESENTMODE", "mode"), "3");
    EXPECT_EQ(ini.Find("MODENAME", "3"), "Night mode");

    const UserColourFile back = LoadOk(path);
    EXPECT_EQ(back.Slot(3, 42), (SlotEntry{0x0A141E, false}));
    EXPECT_EQ(back.Tools(3), (SchemeTools{1, 0x010203, 0xFFFFFF}));
    EXPECT_EQ(back.PresentScheme(), 3);
    EXPECT_EQ(back.SchemeName(3), "Night mode");
    EXPECT_EQ(back.SchemeName(4), "0");
    EXPECT_EQ(back.Slot(2, 42), SlotEntry{});
}

// Counted in UTF-16 units, as macro names are and as a Qt line edit counts its maxLength.
TEST_F(UserColourFileTest, SchemeNamesHoldAtMost249Units) {
    const std::string emoji = "\xF0\x9F\x98\x80";  // two units
    struct Case {
        std::string name;
        bool taken;
    };
    const std::vector<Case> cases{
        {"", true},
        {std::string(kMaxSchemeNameLength, 'x'), true},
        {std::string(kMaxSchemeNameLength + 1, 'x'), false},
        {std::string(kMaxSchemeNameLength - 1, 'x') + emoji, false},
        {std::string(kMaxSchemeNameLength - 2, 'x') + emoji, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        UserColourFile file;
        EXPECT_EQ(file.SetSchemeName(2, c.name), c.taken);
        EXPECT_EQ(file.SchemeName(2), c.taken ? c.name : "0");
        EXPECT_EQ(UserColourFile::SchemeNameProblem(c.name).has_value(), !c.taken);
    }
    EXPECT_EQ(UserColourFile::SchemeNameProblem(std::string(100'000, 'x')),
              "a scheme name has at most 249 characters");
    EXPECT_EQ(UserColourFile::SchemeNameProblem("a\r"), "a scheme name is one line of text");

    // A longer name in a file is read cut, never through half of a pair.
    const auto path = UserColourFilePath(folder.Path(), 0);
    WriteAll(path, "[MODENAME]\n1=" + std::string(kMaxSchemeNameLength - 1, 'x') + emoji +
                       "tail\n2=" + std::string(300, 'y') + "\n");
    const UserColourFile file = LoadOk(path);
    EXPECT_EQ(file.SchemeName(1), std::string(kMaxSchemeNameLength - 1, 'x'));
    EXPECT_EQ(file.SchemeName(2), std::string(kMaxSchemeNameLength, 'y'));
}

TEST_F(UserColourFileTest, ComponentsKeepTheirLowEightBits) {
    const auto path = UserColourFilePath(folder.Path(), 0);
    WriteAll(path, "[Mode0]\n42 = 256, -1 ,3,7\ncolor=511,0,0\n");
    const UserColourFile file = LoadOk(path);
    EXPECT_EQ(file.Slot(0, 42), (SlotEntry{0x03FF00, true}));
    EXPECT_EQ(file.Tools(0).keyColour, 0xFFu);
}

struct DamagedCase {
    const char* name;
    std::string content;
    const char* reason;
};

const DamagedCase kDamaged[] = {
    {"SlotNotNumbers", "[Mode2]\n42=red\n", "[Mode2] 42 \"red\" is not red,green,blue,flag"},
    {"SlotThreeNumbers", "[Mode0]\n7=1,2,3\n", "[Mode0] 7 \"1,2,3\" is not red,green,blue,flag"},
    {"SlotFiveNumbers", "[Mode0]\n7=1,2,3,4,5\n", "is not red,green,blue,flag"},
    {"ColourWithBlankPart", "[Mode9]\njcolor=1,,3\n",
     "[Mode9] jcolor \"1,,3\" is not red,green,blue"},
    {"HugeNumber", "[Mode0]\ncolor=1,2,99999999999\n", "is not red,green,blue"},
    {"ToolTwo", "[Mode1]\ntool=2\n", "[Mode1] tool \"2\" is not 0 or 1"},
    {"SchemeOutOfRange", "[PRESENTMODE]\nmode=12\n", "mode \"12\" is not a scheme number 0..9"},
    {"NotText", std::string("[Mode0]\n1=1,2,3,1\n\0\0\x01\x02", 22), "is not a text file"},
    {"TooLarge", std::string(kMaxUserColourFileBytes + 1, ';'), "is larger than 256 KiB"},
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedFileTest : public UserColourFileTest,
                        public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedFileTest, IsRefusedWithItsReason) {
    const auto path = UserColourFilePath(folder.Path(), 1);
    WriteAll(path, GetParam().content);
    const auto loaded = UserColourFile::Load(path);
    ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
    const std::string& reason = std::get<std::string>(loaded);
    EXPECT_EQ(reason.rfind(path.string() + ": ", 0), 0u) << reason;
    EXPECT_NE(reason.find(GetParam().reason), std::string::npos) << reason;
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest, ::testing::ValuesIn(kDamaged),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(UserColourFileTest, UnknownKeysAndCommentsAreNoDamage) {
    const auto path = UserColourFilePath(folder.Path(), 0);
    WriteAll(path, "; kept by hand\n[Mode0]\n64=x\n042=y\nnote=z\n[Other]\na=b\n");
    EXPECT_TRUE(std::holds_alternative<UserColourFile>(UserColourFile::Load(path)));
}

TEST_F(UserColourFileTest, DefaultsAreAByteForByteCopyOfProfileThree) {
    const std::string templ = "[MODENAME]\r\n0=Factory\r\n[Mode0]\r\n42=1,2,3,0\r\n";
    WriteAll(UserColourFilePath(folder.Path(), 3), templ);
    WriteAll(UserColourFilePath(folder.Path(), 0), "[Mode0]\n42=9,9,9,1\n");
    EXPECT_FALSE(CopyDefaultSchemes(folder.Path(), 0));
    EXPECT_EQ(ReadAll(UserColourFilePath(folder.Path(), 0)), templ);
    // The template itself is left as it is.
    EXPECT_FALSE(CopyDefaultSchemes(folder.Path(), 3));
    EXPECT_EQ(ReadAll(UserColourFilePath(folder.Path(), 3)), templ);

    // A damaged template is not copied.
    WriteAll(UserColourFilePath(folder.Path(), 3), "[Mode0]\ntool=7\n");
    const auto refused = CopyDefaultSchemes(folder.Path(), 0);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("is not 0 or 1"), std::string::npos);
    EXPECT_EQ(ReadAll(UserColourFilePath(folder.Path(), 0)), templ);

    // Without a template the copy reads as every default.
    std::filesystem::remove(UserColourFilePath(folder.Path(), 3));
    EXPECT_FALSE(CopyDefaultSchemes(folder.Path(), 0));
    EXPECT_EQ(LoadOk(UserColourFilePath(folder.Path(), 0)).Slot(0, 42), SlotEntry{});
}

}  // namespace
}  // namespace qv::lighting
