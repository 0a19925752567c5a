#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sim/sim_state_file.h"

namespace qv::sim {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("quorvane-state-test-" + std::to_string(std::random_device()()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // The text a save of the factory memory produces.
    std::string FactoryText() {
        const fs::path path = folder / "factory.state";
        EXPECT_TRUE(std::holds_alternative<std::monostate>(SaveStateFile(path, Factory())));
        return Read(path);
    }

    static SimState Factory() { return SimState{.memory = FactoryMemory(), .faults = {}}; }

    fs::path folder;
};

TEST_F(StateFileTest, RoundTripsEveryArea) {
    KeyboardMemory memory = FactoryMemory();
    memory.settings[0] = 0x00;
    memory.settings[kSettingsActiveProfile] = 3;
    memory.settings[kSettingsFirmwareVersion] = 0x07;  // 0x0107
    memory.settings[kSettingsModeList + 1] = 0;        // a gap in the mode list
    memory.settings[kSettingsModeList + 31] = 20;      // and a mode in the last entry
    memory.settings[kSettingsMacroCapacity] = 2;
    FitMacroAreaToCapacity(memory);
    memory.macroArea[200] = 0x5A;  // followed by zeros, which the file leaves out
    memory.lighting[255] = 0x80;
    memory.keyPages[767] = 0x81;
    memory.keyDefaults[0] = 0x82;
    memory.colourPages[0] = 0x00;

    const SimState state{.memory = memory,
                         .faults = {{.kind = FaultKind::Late, .report = 7, .delay = 1500ms},
                                    {.kind = FaultKind::Flip, .report = 2, .byte = 3}}};

    const fs::path path = folder / "nested" / "deeper" / "kb.state";
    ASSERT_TRUE(std::holds_alternative<std::monostate>(SaveStateFile(path, state)));
    ASSERT_TRUE(std::holds_alternative<std::monostate>(SaveStateFile(path, state)));  // replaces
    auto loaded = LoadStateFile(path);
    ASSERT_TRUE(std::holds_alternative<SimState>(loaded))
        << std::get<StateFileError>(loaded).message;
    EXPECT_TRUE(std::get<SimState>(loaded) == state);

    // Nothing but the state file is left in its folder.
    std::vector<fs::path> entries(fs::directory_iterator(path.parent_path()), {});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].filename(), "kb.state");
}

TEST_F(StateFileTest, AcceptsAHandWrittenFile) {
    std::string text = FactoryText();
    // Lower-case hex, CRLF line ends, comments at line ends, a macro area cut after its header.
    const auto macroStart = text.find("[macro-area]");
    const auto macroEnd = text.find("[colour-pages]");
    text.replace(macroStart, macroEnd - macroStart,
                 "[macro-area]  # just the header\r\naa 55 10 00 00 00 00 00\r\n\r\n");
    text.replace(text.find("modes ="), 0, "# the modes the keyboard offers\n");
    const fs::path path = folder / "hand.state";
    Write(path, text);

    auto loaded = LoadStateFile(path);
    ASSERT_TRUE(std::holds_alternative<SimState>(loaded))
        << std::get<StateFileError>(loaded).message;
    EXPECT_TRUE(std::get<SimState>(loaded) == Factory());
}

TEST_F(StateFileTest, MissingFileGivesFactoryMemoryOnlyThroughLoadOrFactory) {
    const fs::path path = folder / "absent.state";
    auto loaded = LoadStateFile(path);
    ASSERT_TRUE(std::holds_alternative<StateFileError>(loaded));
    EXPECT_NE(std::get<StateFileError>(loaded).message.find(path.string()), std::string::npos);

    auto fallback = LoadOrFactory(path);
    ASSERT_TRUE(std::holds_alternative<SimState>(fallback));
    EXPECT_TRUE(std::get<SimState>(fallback) == Factory());

    Write(path, "garbage\n");
    EXPECT_TRUE(std::holds_alternative<StateFileError>(LoadOrFactory(path)));
}

TEST_F(StateFileTest, SaveReportsAFolderItCannotCreate) {
    const fs::path blocker = folder / "file";
    Write(blocker, "x");
    const auto result = SaveStateFile(blocker / "kb.state", Factory());
    ASSERT_TRUE(std::holds_alternative<StateFileError>(result));
    EXPECT_NE(std::get<StateFileError>(result).message.find(blocker.string()), std::string::npos);
}

std::string Repeat(const std::string& text, int times) {
    std::string repeated;
    for (int i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

struct Malformed {
    const char* what;
    std::string find;     // the first line containing this is replaced
    std::string replace;  // by this (may be empty or several lines)
    std::string message;  // expected in the error
    bool lineOfChange;    // the error names the line that was changed
};

TEST_F(StateFileTest, RejectsMalformedFilesWithFileAndLine) {
    const std::vector<Malformed> cases{
        {"wrong magic", "quorvane-sim-state", "some-other-file 1", "not a simulated keyboard",
         true},
        {"newer version", "quorvane-sim-state", "quorvane-sim-state 2", "format version \"2\"",
         true},
        {"bad byte", "01 04 02 00", "01 04 02 0G FF FF FF FF 00 FF FF FF 00 00 00 00",
         "\"0G\" is not a byte", true},
        {"three-digit byte", "01 04 02 00", "01 04 02 000 FF FF FF FF 00 FF FF FF 00 00 00",
         "\"000\" is not a byte", true},
        {"short section", "01 04 02 00", "", "[lighting] has 240 bytes, needs exactly 256", false},
        {"long section", "[key-defaults]", "[key-defaults]\n00", "more than 192 bytes", false},
        {"profile 4", "active-profile", "active-profile = 4", "active-profile is 0, 1, 2 or 3",
         true},
        {"negative number", "firmware", "firmware = -1", "firmware is a number", true},
        {"unknown setting", "firmware", "firmware = 0x110\ncolour = 1", "unknown setting", false},
        {"setting twice", "firmware", "firmware = 0x110\nfirmware = 0x110", "appears twice", false},
        {"missing setting", "firmware", "", "\"firmware\" is missing", false},
        {"too many modes", "modes", "modes =" + Repeat(" 1", 33), "at most 32 modes", true},
        {"unknown section", "[colour-pages]", "[colours]", "unknown section [colours]", true},
        {"section twice", "[colour-pages]", "[lighting]", "[lighting] appears twice", true},
        {"data before a section", "[settings]", "01 02\n[settings]", "data outside a section",
         true},
        {"macro area beyond capacity", "macro-capacity-units", "macro-capacity-units = 0",
         "more than the macro capacity of 0", false},
        {"bad fault", "# armed when", "drop@5, late@7", "\"late@7\": late needs a delay", true},
        {"fault armed twice", "# armed when", "drop@5\ndrop@5", "drop is armed twice", false},
        {"faults twice", "[faults]", "[faults]\n[faults]", "[faults] appears twice", false},
    };
    const std::string good = FactoryText();
    for (const Malformed& c : cases) {
        std::string text = good;
        const auto at = text.find(c.find);
        ASSERT_NE(at, std::string::npos) << c.what;
        const auto lineStart = text.rfind('\n', at) + 1;
        const auto lineEnd = text.find('\n', at);
        text.replace(lineStart, lineEnd - lineStart, c.replace);
        const std::size_t changedLine =
            static_cast<std::size_t>(std::count(text.begin(), text.begin() + lineStart, '\n')) + 1;
        const fs::path path = folder / "bad.state";
        Write(path, text);

        const auto loaded = LoadStateFile(path);
        ASSERT_TRUE(std::holds_alternative<StateFileError>(loaded)) << c.what;
        const std::string& message = std::get<StateFileError>(loaded).message;
        EXPECT_NE(message.find(path.string() + ":"), std::string::npos)
            << c.what << ": " << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
        if (c.lineOfChange) {
            EXPECT_NE(message.find(":" + std::to_string(changedLine) + ": "), std::string::npos)
                << c.what << ": " << message;
        }
    }
}

TEST_F(StateFileTest, NamesAMissingSection) {
    std::string text = FactoryText();
    text.erase(text.find("[colour-pages]"));
    const fs::path path = folder / "cut.state";
    Write(path, text);
    const auto loaded = LoadStateFile(path);
    ASSERT_TRUE(std::holds_alternative<StateFileError>(loaded));
    EXPECT_NE(std::get<StateFileError>(loaded).message.find("[colour-pages] is missing"),
              std::string::npos);
}

}  // namespace
}  // namespace qv::sim
