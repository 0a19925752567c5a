// quorvanectl run in-process against a simulated keyboard kept in a temporary folder: exact
// output and exit code of each command, the pending edits' refusals, and which files a command
// leaves alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_fixture.h"
#include "device/device_report.h"
#include "keys/key_entry.h"
#include "platform/ini_file.h"
#include "profiles/image_layout.h"
#include "profiles/profile_file.h"
#include "sim/keyboard_layout.h"
#include "sim/sim_hid_service.h"
#include "sim/sim_state_file.h"
#include "texts/temp_folder.h"

namespace qv::cli {
namespace {

using namespace std::chrono_literals;
using test_support::CliTest;
using test_support::Outcome;
using test_support::ReadFile;

// ---- A table of runs: the set-up runs must succeed, the last one is checked exactly ----

struct CliCase {
    const char* name;
    std::vector<std::vector<std::string>> setup;
    std::vector<std::string> args;
    const char* out;
    const char* err;
    int code;
};

const std::vector<std::string> kAddMacro = {"{kb}", "macro", "add", "Copy all",
                                            "press LCtrl, tap A, 20ms, tap C, release LCtrl"};

const CliCase kCases[] = {
    {"Info",
     {},
     {"{kb}", "info"},
     "Firmware version: 0x0110\nActive profile:   1\nMacro capacity:   8192 bytes\n"
     "Macro memory:     16 of 8192 bytes used (1%)\n"
     "Lighting modes:   1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 20\n",
     "",
     0},
    {"KeysShowOfAFreshKeyboard",
     {},
     {"{kb}", "keys", "show"},
     "Profile 1\n  every key at its default\n",
     "",
     0},
    {"MacroAddKeepsItPending",
     {},
     kAddMacro,
     "Macro 1 \"Copy all\" added (6 steps, played 1x).\n"
     "Pending; `quorvanectl apply` writes it to the keyboard.\n",
     "",
     0},
    {"MacroListShowsPendingMacros",
     {kAddMacro},
     {"{kb}", "macro", "list"},
     "1  Copy all  (6 steps, played 1x)\nMacro memory: 62 of 8192 bytes used (1%)\n",
     "",
     0},
    {"InfoCountsPendingMacros",
     {kAddMacro},
     {"{kb}", "--json", "info"},
     "{\n  \"activeProfile\": 1,\n  \"firmwareVersion\": 272,\n  \"macroCapacityBytes\": 8192,\n"
     "  \"macroMemory\": {\n    \"capacityBytes\": 8192,\n    \"compactBytes\": 46,\n"
     "    \"form\": \"full\",\n    \"fullBytes\": 62,\n    \"pendingIncluded\": true,\n"
     "    \"percentUsed\": 1,\n    \"usedBytes\": 62\n  },\n"
     "  \"supportedModes\": [\n    1,\n    2,\n    3,\n    4,\n    5,\n    6,\n    7,\n    8,\n"
     "    9,\n    10,\n    11,\n    12,\n    13,\n    14,\n    15,\n    16,\n    17,\n    18,\n"
     "    20\n  ]\n}\n",
     "",
     0},
    {"MacroListJson",
     {{"{kb}", "macro", "add", "X", "tap A, 20"}},
     {"{kb}", "--json", "macro", "list"},
     "{\n  \"macros\": [\n    {\n      \"id\": 1,\n      \"name\": \"X\",\n      \"repeat\": 1,\n"
     "      \"steps\": [\n        {\n          \"delayMs\": 0,\n          \"key\": \"A\",\n"
     "          \"press\": true\n        },\n        {\n          \"delayMs\": 20,\n"
     "          \"key\": \"A\",\n          \"press\": false\n        }\n      ]\n    }\n  ],\n"
     "  \"memory\": {\n    \"capacityBytes\": 8192,\n    \"compactBytes\": 30,\n"
     "    \"form\": \"full\",\n    \"fullBytes\": 32,\n    \"percentUsed\": 1,\n"
     "    \"usedBytes\": 32\n  }\n}\n",
     "",
     0},
    {"MacroRename",
     {kAddMacro},
     {"{kb}", "macro", "rename", "1", "Paste"},
     "Macro 1 \"Copy all\" is now \"Paste\".\n"
     "Pending; `quorvanectl apply` writes it to the keyboard.\n",
     "",
     0},
    {"MacroRenameOfAnUnknownId",
     {kAddMacro},
     {"{kb}", "macro", "rename", "7", "Paste"},
     "",
     "quorvanectl: no macro has the id 7 (see `quorvanectl macro list`)\n",
     5},
    {"MacroEditGivesNewStepsAndRepeatCount",
     {kAddMacro, {"{kb}", "macro", "edit", "1", "tap B, 30ms", "--repeat", "3"}},
     {"{kb}", "macro", "show", "1"},
     "1  Copy all  (2 steps, played 3x)\npress   B\nrelease B, then 30 ms\n",
     "",
     0},
    {"MacroEditNeedsSomethingToChange",
     {kAddMacro},
     {"{kb}", "macro", "edit", "1"},
     "",
     "quorvanectl: give the steps, --text or --repeat\n",
     5},
    {"MacroMoveReordersTheList",
     {kAddMacro,
      {"{kb}", "macro", "add", "Other", "tap B"},
      {"{kb}", "assign", "caps", "macro:1"},
      {"{kb}", "macro", "move", "2", "top"}},
     {"{kb}", "keys", "show"},
     "Profile 1 (with pending edits)\n  Caps Lock: assigned to macro (Copy all)\n",
     "",
     0},
    {"MacroMoveSaysWhere",
     {kAddMacro, {"{kb}", "macro", "add", "Other", "tap B"}},
     {"{kb}", "macro", "move", "1", "2"},
     "Macro 1 \"Copy all\" is at position 2 of 2.\n"
     "Pending; `quorvanectl apply` writes it to the keyboard.\n",
     "",
     0},
    {"MacroMoveToNoPlace",
     {kAddMacro},
     {"{kb}", "macro", "move", "1", "2"},
     "",
     "quorvanectl: \"2\" is no place in the list: top, up, down, bottom or a position 1..1\n",
     5},
    {"MacroClear",
     {kAddMacro},
     {"{kb}", "macro", "clear", "1"},
     "Macro 1 \"Copy all\" cleared: 6 steps removed.\n"
     "Pending; `quorvanectl apply` writes it to the keyboard.\n",
     "",
     0},
    {"MacroAddTextTypesShiftedCharacters",
     {{"{kb}", "macro", "add", "Hi", "--text", "Hi!", "--delay", "10"}},
     {"{kb}", "macro", "show", "1"},
     "1  Hi  (10 steps, played 1x)\n"
     "press   Left Shift, then 10 ms\npress   H, then 10 ms\nrelease H, then 10 ms\n"
     "release Left Shift, then 10 ms\npress   I, then 10 ms\nrelease I, then 10 ms\n"
     "press   Left Shift, then 10 ms\npress   1, then 10 ms\nrelease 1, then 10 ms\n"
     "release Left Shift, then 10 ms\n",
     "",
     0},
    {"MacroAddTextWithACharacterWithoutAKey",
     {},
     {"{kb}", "macro", "add", "Cafe", "--text", "caf\xC3\xA9"},
     "",
     "quorvanectl: character 4 of the text, \"\xC3\xA9\" (U+00E9), has no key on the US keyboard "
     "layout\n",
     5},
    {"MacroAddWithStepsAndText",
     {},
     {"{kb}", "macro", "add", "X", "tap A", "--text", "a"},
     "",
     "quorvanectl: give the steps or --text, not both\n",
     5},
    {"KeysShowIncludesPendingEdits",
     {kAddMacro, {"{kb}", "assign", "Caps Lock", "macro:1"}},
     {"{kb}", "keys", "show"},
     "Profile 1 (with pending edits)\n  Caps Lock: assigned to macro (Copy all)\n",
     "",
     0},
    {"AssignThenApply",
     {{"{kb}", "assign", "F1", "key:Backspace"}},
     {"{kb}", "apply"},
     "Applied the pending edits to profile 1.\n",
     "",
     0},
    {"ApplyWithNothingPending", {}, {"{kb}", "apply"}, "Nothing to apply.\n", "", 0},
    {"AppliedEditsReachTheKeyboard",
     {{"{kb}", "assign", "F1", "key:Backspace", "--apply"}},
     {"{kb}", "dump", "keys", "--profile", "1"},
     "Profile 1\n  F1: assigned to key (Backspace)\n",
     "",
     0},
    {"AssignRepeatIsTheMacrosRepeatCount",
     {kAddMacro, {"{kb}", "assign", "caps", "macro:1", "--repeat", "4", "--apply"}},
     {"{kb}", "dump", "macros"},
     "1  Copy all  (6 steps, played 4x)\npress   Left Ctrl\npress   A\nrelease A, then 20 ms\n"
     "press   C\nrelease C\nrelease Left Ctrl\n",
     "",
     0},
    {"MacroDeleteOfAMacroKeysPlay",
     {kAddMacro, {"{kb}", "assign", "caps", "macro:1"}},
     {"{kb}", "macro", "delete", "1"},
     "",
     "quorvanectl: 1 key(s) play this macro; --force deletes it and puts them back to their "
     "defaults\n",
     5},
    {"MacroDeleteForced",
     {kAddMacro, {"{kb}", "assign", "caps", "macro:1"}},
     {"{kb}", "macro", "delete", "1", "--force"},
     "Macro 1 \"Copy all\" deleted; 1 key(s) that played it are back at their defaults.\n"
     "Pending; `quorvanectl apply` writes it to the keyboard.\n",
     "",
     0},
    {"PendingEditsOfAnotherKeyboardAreNotApplied",
     {{"{kb}", "assign", "F1", "disabled"}},
     {"--keyboard=sim:{dir}/other.state", "apply"},
     "",
     "quorvanectl: cannot apply: the pending edits were made on another keyboard "
     "(sim:{dir}/k.state); apply them there with `quorvanectl --keyboard=sim:{dir}/k.state "
     "apply`, or drop them with `quorvanectl discard`\n",
     6},
    {"NoEditsOnTopOfAnotherKeyboardsEdits",
     {{"{kb}", "assign", "F1", "disabled"}},
     {"--keyboard=sim:{dir}/other.state", "assign", "F2", "disabled"},
     "",
     "quorvanectl: cannot assign: the pending edits were made on another keyboard "
     "(sim:{dir}/k.state); apply them there with `quorvanectl --keyboard=sim:{dir}/k.state "
     "apply`, or drop them with `quorvanectl discard`\n",
     6},
    {"PendingEditsOfAnotherProfileAreNotApplied",
     {{"{kb}", "assign", "F1", "disabled"}, {"{kb}", "profile", "set", "2"}},
     {"{kb}", "apply"},
     "",
     "quorvanectl: cannot apply: the pending edits were made for profile 1, but profile 2 is "
     "active now; switch back with `quorvanectl profile set 1` and apply them, or drop them "
     "with `quorvanectl discard`\n",
     6},
    {"SwitchingBackAllowsTheApply",
     {{"{kb}", "assign", "F1", "disabled"}, {"{kb}", "profile", "set", "2"}},
     {"{kb}", "profile", "set", "1"},
     "Profile 1 is now the active profile.\n",
     "quorvanectl: the pending edits were made for this profile: `quorvanectl apply` writes "
     "them to the keyboard\n",
     0},
    {"ImportWithPendingEdits",
     {{"{kb}", "export", "{dir}/saved.fwc"}, {"{kb}", "assign", "F1", "disabled"}},
     {"{kb}", "import", "{dir}/saved.fwc"},
     "",
     "quorvanectl: cannot import: there are pending edits, which the import would replace; "
     "`quorvanectl apply` or `quorvanectl discard` them first, or import with --drop-pending\n",
     6},
    {"ImportDroppingPendingEdits",
     {{"{kb}", "export", "{dir}/saved.fwc"}, {"{kb}", "assign", "F1", "disabled"}},
     {"{kb}", "import", "{dir}/saved.fwc", "--drop-pending"},
     "Imported {dir}/saved.fwc into all four profiles. The pending edits were dropped.\n",
     "",
     0},
    {"Discard",
     {{"{kb}", "assign", "F1", "disabled"}},
     {"discard"},
     "Pending edits dropped.\n",
     "",
     0},
    {"UnknownKey",
     {},
     {"{kb}", "assign", "nokey", "default"},
     "",
     "quorvanectl: unknown key \"nokey\" (see `quorvanectl keys list`)\n",
     5},
    {"UnknownTargetKey",
     {},
     {"{kb}", "assign", "caps", "key:nokey"},
     "",
     "quorvanectl: unknown key \"nokey\" (see `quorvanectl keys list`)\n",
     5},
    {"JsonError",
     {},
     {"{kb}", "--json", "assign", "nokey", "default"},
     "{\n  \"error\": \"unknown key \\\"nokey\\\" (see `quorvanectl keys list`)\",\n"
     "  \"ok\": false\n}\n",
     "",
     5},
    {"JsonEdit",
     {},
     {"{kb}", "--json", "assign", "F1", "disabled"},
     "{\n  \"key\": \"F1\",\n  \"message\": \"Profile 1, F1: assigned (disabled)\\nPending; "
     "`quorvanectl "
     "apply` writes it to the keyboard.\",\n  \"ok\": true,\n  \"pending\": true,\n"
     "  \"profile\": 1,\n  \"target\": \"disabled\"\n}\n",
     "",
     0},
    {"LightingSetSaysWhatItSet",
     {},
     {"{kb}", "lighting", "set", "--profile", "2", "--mode", "3", "--brightness", "1"},
     "Profile 2 lighting set: mode 3, brightness 1.\n",
     "",
     0},
    {"ProfileSet",
     {},
     {"{kb}", "profile", "set", "3"},
     "Profile 3 is now the active profile.\n",
     "",
     0},
};

void PrintTo(const CliCase& c, std::ostream* os) {
    *os << c.name;
}

class CliTableTest : public CliTest, public ::testing::WithParamInterface<CliCase> {};

TEST_P(CliTableTest, GivesExactOutputAndStatus) {
    const CliCase& c = GetParam();
    for (const auto& step : c.setup) {
        RunOk(step);
    }
    const Outcome outcome = Run(c.args);
    EXPECT_EQ(outcome.out, Expand(c.out));
    EXPECT_EQ(outcome.err, Expand(c.err));
    EXPECT_EQ(outcome.code, c.code);
}

INSTANTIATE_TEST_SUITE_P(Commands, CliTableTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

// ---- Files ----

// Every file below a folder with its content.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[entry.path().string()] =
                ReadFile(entry.path()) + "@" +
                std::to_string(entry.last_write_time().time_since_epoch().count());
        }
    }
    return files;
}

TEST_F(CliTest, ReadOnlyCommandsWriteNoFile) {
    RunOk({"{kb}", "lighting", "set", "--profile", "1", "--mode", "2"});
    RunOk({"{kb}", "capture"});
    RunOk({"{kb}", "assign", "F1", "disabled"});
    const auto before = Snapshot(folder.Path());
    ASSERT_TRUE(before.count((folder.Path() / "k.state").string()));
    ASSERT_TRUE(before.count((env.documentsFolder / "Quorvane_51M" / "$Profile0").string()));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"{kb}", "info"},
             {"{kb}", "settings"},
             {"{kb}", "lighting", "show"},
             {"{kb}", "lighting", "modes"},
             {"lighting", "scheme", "list", "--profile", "1"},
             {"{kb}", "profile", "show"},
             {"{kb}", "dump", "keys"},
             {"{kb}", "dump", "macros"},
             {"{kb}", "keys", "show"},
             {"{kb}", "macro", "list"},
             {"keys", "list"},
             {"validate", "{dir}/documents/Quorvane_51M/$Profile0"}}) {
        RunOk(args);
    }
    EXPECT_EQ(Snapshot(folder.Path()), before);
}

TEST_F(CliTest, ReadOnlyCommandsOnAFreshKeyboardCreateNothing) {
    RunOk({"{kb}", "info"});
    RunOk({"{kb}", "keys", "show"});
    EXPECT_TRUE(Snapshot(folder.Path()).empty());
}

TEST_F(CliTest, CommandsThatNeedNoKeyboardOpenNone) {
    RunOk({"keys", "list"});
    RunOk({"discard"});
    RunOk({"--help"});
    RunOk({"assign", "--help"});
    RunOk({"lighting", "scheme", "save", "--profile", "2", "1"});
    EXPECT_EQ(Run({"validate", "{dir}/missing.fwc"}).code, 5);
    EXPECT_EQ(keyboardsOpened, 0);
}

// ---- Profile files from outside ----

// A default profile file with some entries overwritten in place: kind (u16) and value (u32) of
// entry profile * 512 + slot.
struct EntryPatch {
    std::size_t profile;
    std::size_t slot;
    std::uint16_t kind;
    std::uint32_t value;
};

std::filesystem::path HostileProfileFile(const std::filesystem::path& path,
                                         const std::vector<EntryPatch>& patches) {
    EXPECT_TRUE(profiles::WriteDefaultProfileFile(path));
    std::string bytes = ReadFile(path);
    for (const EntryPatch& p : patches) {
        const std::size_t at =
            profiles::kImageKeyEntriesOffset + (p.profile * 512 + p.slot) * keys::KeyEntry::kSize;
        bytes[at] = static_cast<char>(p.kind & 0xFF);
        bytes[at + 1] = static_cast<char>(p.kind >> 8);
        for (int i = 0; i < 4; ++i) {
            bytes[at + 4 + static_cast<std::size_t>(i)] = static_cast<char>(p.value >> (8 * i));
        }
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
}

TEST_F(CliTest, ProfileFilesOfImpossibleEntriesAreRefused) {
    std::vector<EntryPatch> everyEntry;
    for (std::size_t i = 0; i < 2048; ++i) {
        everyEntry.push_back({i / 512, i % 512, 0xFFFF, 0});
    }
    struct Case {
        const char* name;
        std::vector<EntryPatch> patches;
        std::string problem;
    };
    const std::vector<Case> cases{
        {"every entry of kind 0xFFFF", everyEntry,
         "the key entries are not a profile's: profile 1, key slot 0: kind 65535 is not a kind of "
         "key assignment (and 2047 more entries of unknown kinds)"},
        {"one entry of kind 9 among sound ones",
         {{0, 0x1E, 2, 0x030}, {2, 0x3A, 9, 0}},
         "the key entries are not a profile's: profile 3, key slot 58: kind 9 is not a kind of "
         "key assignment"},
    };
    RunOk({"{kb}", "assign", "F1", "disabled", "--apply"});
    const std::string keyboard = ReadFile(folder.Path() / "k.state");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file =
            HostileProfileFile(folder.Path() / "hostile.fwc", c.patches);
        const Outcome validate = Run({"validate", file.string()});
        EXPECT_EQ(validate.err, "quorvanectl: " + file.string() + ": " + c.problem + "\n");
        EXPECT_EQ(validate.code, 5);
        const Outcome import = Run({"{kb}", "import", file.string()});
        EXPECT_EQ(import.err, "quorvanectl: wrong profile file format: " + file.string() + ": " +
                                  c.problem + "\nquorvanectl: " + file.string() +
                                  " was not imported\nquorvanectl: could not import: " +
                                  file.string() + ": not a profile file: " + c.problem + "\n");
        EXPECT_EQ(import.code, 5);
        EXPECT_TRUE(ReadFile(folder.Path() / "k.state") == keyboard);
    }
}

TEST_F(CliTest, ProfileFilesAreImportedLessWhatTheKeyboardCannotCarry) {
    // Profile 1: A sends B (sound); Caps Lock a key code of no key; Esc a media key past the
    // table. Profile 2: a macro that is not in the file.
    const std::filesystem::path file = HostileProfileFile(
        folder.Path() / "odd.fwc",
        {{0, 0x1E, 2, 0x030}, {0, 0x3A, 2, 0xBEEF}, {0, 0x01, 7, 99}, {1, 0x3B, 4, 5}});
    const std::string warnings =
        "quorvanectl: warning: profile 1, key slot 1: media key 99 is past the 18 media keys; "
        "dropped, the key keeps its default\n"
        "quorvanectl: warning: profile 1, key slot 58: key code 0xBEEF is not a key the keyboard "
        "can send; dropped, the key keeps its default\n"
        "quorvanectl: warning: profile 2, key slot 59: macro id 5 names no macro of the file; "
        "dropped, the key keeps its default\n";
    const Outcome validate = Run({"validate", file.string()});
    EXPECT_EQ(validate.out,
              file.string() + ": a profile file; an import takes it less what the warnings list\n");
    EXPECT_EQ(validate.err, warnings);
    EXPECT_EQ(validate.code, 0);

    const Outcome import = Run({"{kb}", "import", file.string()});
    EXPECT_EQ(import.out, "Imported " + file.string() + " into all four profiles.\n");
    EXPECT_EQ(import.err, warnings);
    EXPECT_EQ(import.code, 0);
    EXPECT_EQ(Run({"{kb}", "keys", "show"}).out, "Profile 1\n  A: assigned to key (B)\n");
    // Caps Lock and Esc kept their defaults on the keyboard: 02 02 39 and 02 02 29.
    const auto state = sim::LoadStateFile(folder.Path() / "k.state");
    ASSERT_TRUE(std::holds_alternative<sim::SimState>(state));
    const auto& pages = std::get<sim::SimState>(state).memory.keyPages;
    EXPECT_EQ(std::string(pages.begin() + 3 * 11, pages.begin() + 3 * 12), "\x02\x02\x39");
    EXPECT_EQ(std::string(pages.begin() + 3 * 8, pages.begin() + 3 * 9), "\x02\x02\x29");

    // What the tool writes itself validates without a word.
    RunOk({"{kb}", "export", "{dir}/mine.fwc"});
    const Outcome mine = Run({"validate", "{dir}/mine.fwc"});
    EXPECT_EQ(mine.err, "");
    EXPECT_EQ(mine.code, 0);
}

TEST_F(CliTest, CaptureThatCannotReadLeavesThePreviousFile) {
    RunOk({"{kb}", "capture"});
    // The apply keeps the captured file in step with the keyboard.
    RunOk({"{kb}", "assign", "F1", "disabled", "--apply"});
    const std::filesystem::path file = env.documentsFolder / "Quorvane_51M" / "$Profile0";
    const std::string before = ReadFile(file);
    env.keyboardArrived = [](service::KeyboardBackend& backend) {
        backend.simulated()->AnswerStatus(0xFF, 1000);
    };
    const Outcome outcome = Run({"{kb}", "capture"});
    EXPECT_EQ(outcome.code, 3);
    EXPECT_EQ(outcome.err,
              "quorvanectl: could not capture the keyboard: the keyboard could not "
              "be read; " +
                  file.string() + " was left as it was\n");
    EXPECT_TRUE(ReadFile(file) == before);
}

TEST_F(CliTest, PendingEditsStayWhenTheApplyFails) {
    const std::filesystem::path pending = env.stateFolder / "quorvane" / "pending.fwc";
    env.keyboardArrived = [](service::KeyboardBackend& backend) {
        backend.simulated()->AnswerStatus(0xFF, 1000);
    };
    // An edit written at once is kept when the keyboard does not take it.
    const Outcome failed = Run({"{kb}", "assign", "F1", "disabled", "--apply"});
    EXPECT_EQ(failed.err,
              "quorvanectl: could not write to the keyboard: the keyboard did not take the "
              "write (result -102); it holds what it held before; the edits stay pending\n");
    EXPECT_EQ(failed.code, 3);
    EXPECT_TRUE(std::filesystem::exists(pending));
    EXPECT_EQ(Run({"{kb}", "apply"}).code, 3);
    EXPECT_TRUE(std::filesystem::exists(pending));

    env.keyboardArrived = {};
    RunOk({"{kb}", "apply"});
    EXPECT_FALSE(std::filesystem::exists(pending));
    EXPECT_EQ(Run({"{kb}", "dump", "keys", "--profile", "1"}).out,
              "Profile 1\n  F1: assigned (disabled)\n");
}

// The pending edits' files as an earlier version left them (the image, then its record in a
// file beside it), and as a kill after this version's save leaves them (a stale record of
// another profile beside the image that carries its own), written out directly.
TEST_F(CliTest, PendingEditsLeftByAnEarlierVersionOrAKilledSaveAreApplied) {
    const std::filesystem::path folderOfEdits = env.stateFolder / "quorvane";
    const std::filesystem::path image = folderOfEdits / "pending.fwc";
    const std::filesystem::path record = folderOfEdits / "pending.origin";
    const std::string mark = "\nquorvane-pending-origin 1\n";
    for (const bool earlierVersion : {true, false}) {
        SCOPED_TRACE(earlierVersion ? "earlier version" : "killed save");
        RunOk({"{kb}", "assign", "F1", "disabled"});
        const std::string saved = ReadFile(image);
        const std::size_t at = saved.find(mark);
        ASSERT_NE(at, std::string::npos);
        if (earlierVersion) {
            std::ofstream(image, std::ios::binary | std::ios::trunc) << saved.substr(0, at);
            std::ofstream(record, std::ios::binary) << saved.substr(at + mark.size());
        } else {
            std::ofstream(record, std::ios::binary)
                << "keyboard=sim:" << (folder.Path() / "k.state").string() << "\nprofile=3\n";
        }
        EXPECT_EQ(Run({"{kb}", "keys", "show"}).out,
                  "Profile 1 (with pending edits)\n  F1: assigned (disabled)\n");
        RunOk({"{kb}", "apply"});
        EXPECT_FALSE(std::filesystem::exists(image));
        EXPECT_FALSE(std::filesystem::exists(record));
        RunOk({"{kb}", "assign", "F1", "default", "--apply"});
    }
}

TEST_F(CliTest, TooOldFirmwareRefusesEveryWrite) {
    beforeArrival = [](sim::SimHidService& keyboard) {
        keyboard.UpdateMemory([](sim::KeyboardMemory& memory) {
            memory.settings[sim::kSettingsFirmwareVersion] = 0x06;
            memory.settings[sim::kSettingsFirmwareVersion + 1] = 0x01;
        });
    };
    const std::string question =
        "quorvanectl: the keyboard's firmware is too old for this tool: start the firmware "
        "updater? [no; give --yes to agree]\n"
        "quorvanectl: the keyboard's firmware is too old for this tool; nothing will be written "
        "to it until it is updated\n";
    const std::string refusal =
        "the keyboard's firmware is too old for this tool; update it "
        "first\n";
    const Outcome lighting = Run({"{kb}", "lighting", "set", "--profile", "1", "--mode", "2"});
    EXPECT_EQ(lighting.err, question + "quorvanectl: could not set the lighting: " + refusal);
    EXPECT_EQ(lighting.code, 3);
    const Outcome profile = Run({"{kb}", "profile", "set", "2"});
    EXPECT_EQ(profile.err,
              question + "quorvanectl: could not switch the active profile: " + refusal);
    const Outcome assign = Run({"{kb}", "assign", "F1", "disabled"});
    EXPECT_EQ(assign.err, question + "quorvanectl: could not assign: " + refusal);
    // The keyboard holds what it held before: factory memory with the old firmware.
    sim::KeyboardMemory expected = sim::FactoryMemory();
    expected.settings[sim::kSettingsFirmwareVersion] = 0x06;
    expected.settings[sim::kSettingsFirmwareVersion + 1] = 0x01;
    const auto kept = sim::LoadStateFile(folder.Path() / "k.state");
    ASSERT_TRUE(std::holds_alternative<sim::SimState>(kept));
    EXPECT_TRUE(std::get<sim::SimState>(kept).memory == expected);
    EXPECT_FALSE(std::filesystem::exists(env.stateFolder));
}

// ---- Lighting writes: only what the keyboard offers and what changes ----

struct LightingSetCase {
    const char* name;
    std::vector<std::uint8_t> modes;
    std::vector<std::string> options;
    const char* err;
    int code;
    std::vector<std::uint16_t> writtenOffsets;  // of the lighting writes, in order
};

const LightingSetCase kLightingSetCases[] = {
    {"ModeTheKeyboardDoesNotOffer",
     {1, 0, 3, 0, 0, 20},
     {"--mode", "2"},
     "quorvanectl: the keyboard has no lighting mode 2; modes you can set: 1 (Wave), 3 (Flow), "
     "20 (Per-key Colours)\n",
     5,
     {}},
    {"ModeNinetyNine",
     {1, 19, 21},
     {"--mode", "99", "--brightness", "1"},
     "quorvanectl: the keyboard has no lighting mode 99; modes you can set: 1 (Wave)\n",
     5,
     {}},
    {"OfferedModeWithoutSettings19",
     {1, 19, 21},
     {"--mode", "19"},
     "quorvanectl: lighting mode 19 has no settings this tool knows; nothing was written; modes "
     "you can set: 1 (Wave)\n",
     5,
     {}},
    {"OfferedModeWithoutSettings21",
     {1, 19, 21},
     {"--mode", "21", "--speed", "0"},
     "quorvanectl: lighting mode 21 has no settings this tool knows; nothing was written; modes "
     "you can set: 1 (Wave)\n",
     5,
     {}},
    {"UnknownModeName",
     {4, 17},
     {"--mode", "disco"},
     "quorvanectl: there is no lighting mode named \"disco\"; modes you can set: 4 (Colour "
     "Cycle), 17 (Preset Colours)\n",
     5,
     {}},
    // The factory record of profile 2 holds mode 2, brightness 4, speed 2, multicolour on.
    {"UnchangedBrightnessIsNotWrittenAgain",
     {1, 3},
     {"--mode", "3", "--brightness", "4", "--speed", "0"},
     "",
     0,
     {64 + 4, 64 + 0, 64 + 2}},
    {"NothingChangedWritesNothing", {1, 3}, {"--brightness", "4", "--speed", "2"}, "", 0, {}},
    {"SameModeAgainWritesNothing", {2}, {"--mode", "2"}, "", 0, {}},
    {"ModeTenWritesNoFlag", {10}, {"--mode", "10"}, "", 0, {64 + 0}},
    {"ModeByName", {1, 20}, {"--mode", "per-key colours"}, "", 0, {64 + 0}},
    {"ColourThenModeWritesTheFlagOnce",
     {3},
     {"--colour", "00A0FF", "--mode", "3"},
     "",
     0,
     {64 + 4, 64 + 5, 64 + 0}},
    {"ReportRateInHz", {2}, {"--report-rate", "1000"}, "", 0, {64 + 15}},
    {"ReportRateNotOffered",
     {2},
     {"--report-rate", "300"},
     "--report-rate: 300 not in {125,250,500,1000,0,1,2,3}\nRun with --help for more "
     "information.\n",
     105,
     {}},
};

void PrintTo(const LightingSetCase& c, std::ostream* os) {
    *os << c.name;
}

class LightingSetTest : public CliTest, public ::testing::WithParamInterface<LightingSetCase> {};

TEST_P(LightingSetTest, WritesOnlyWhatTheKeyboardTakes) {
    const LightingSetCase& c = GetParam();
    beforeArrival = [&c](sim::SimHidService& keyboard) {
        keyboard.UpdateMemory([&c](sim::KeyboardMemory& memory) {
            std::fill_n(memory.settings.begin() + sim::kSettingsModeList, 32, std::uint8_t{0});
            std::ranges::copy(c.modes, memory.settings.begin() + sim::kSettingsModeList);
        });
    };
    std::vector<std::uint16_t> written;
    env.keyboardDone = [&written](service::KeyboardBackend& backend) {
        for (const auto& report : backend.simulated()->SentReports()) {
            const device::DeviceReport sent(report);
            if (sent.Command() == device::CMD_WRITE_LIGHTING) {
                written.push_back(sent.Offset());
            }
        }
    };
    std::vector<std::string> args{"{kb}", "lighting", "set", "--profile", "2"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome outcome = Run(args);
    EXPECT_EQ(outcome.err, c.err);
    EXPECT_EQ(outcome.code, c.code);
    EXPECT_EQ(written, c.writtenOffsets);
}

INSTANTIATE_TEST_SUITE_P(Modes, LightingSetTest, ::testing::ValuesIn(kLightingSetCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(CliTest, LightingThatTheKeyboardDoesNotTakeFails) {
    // The write of the bracket (after its begin) is refused: nothing reaches the keyboard. The
    // change is planned on what the arrival read.
    env.keyboardArrived = [](service::KeyboardBackend& backend) {
        backend.simulated()->PlanFaults(
            {{.kind = sim::FaultKind::Refuse,
              .report =
                  static_cast<std::uint32_t>(backend.simulated()->SentReports().size()) + 2}});
    };
    const Outcome set = Run({"{kb}", "lighting", "set", "--profile", "1", "--brightness", "1"});
    EXPECT_EQ(set.err,
              "quorvanectl: could not set the lighting: the keyboard did not take the write "
              "(result -1); the keyboard was read back and holds the lighting as it was\n");
    EXPECT_EQ(set.code, 3);
    EXPECT_EQ(Run({"{kb}", "lighting", "show", "--profile", "1"}).out.find("brightness 1"),
              std::string::npos);

    // The write is done but none of its answers arrive: the record read back holds it.
    env.keyboardArrived = [](service::KeyboardBackend& backend) {
        const auto at = static_cast<std::uint32_t>(backend.simulated()->SentReports().size()) + 2;
        backend.simulated()->PlanFaults(
            sim::InARow({.kind = sim::FaultKind::Drop, .report = at}, 8));
    };
    const Outcome lost = Run({"{kb}", "lighting", "set", "--profile", "1", "--brightness", "1"});
    EXPECT_EQ(lost.code, 0) << lost.err;
    env.keyboardArrived = nullptr;
    EXPECT_NE(Run({"{kb}", "lighting", "show", "--profile", "1"}).out.find("brightness 1"),
              std::string::npos);

    env.keyboardArrived = [](service::KeyboardBackend& backend) {
        backend.simulated()->AnswerStatus(0xFF, 1000);
    };
    const Outcome restore = Run({"{kb}", "lighting", "restore", "--profile", "1"});
    EXPECT_NE(restore.err.find("could not restore the lighting"), std::string::npos);
    EXPECT_EQ(restore.code, 3);
    const Outcome profile = Run({"{kb}", "profile", "set", "2"});
    EXPECT_NE(profile.err.find("could not switch the active profile"), std::string::npos);
    EXPECT_EQ(profile.code, 3);
}

// ---- Per-key colours ----

TEST_F(CliTest, KeyColoursGoToTheSchemeAndTheKeyboardsPage) {
    const Outcome key = Run({"{kb}", "lighting", "key", "--profile", "2", "Caps Lock", "ff8000"});
    EXPECT_EQ(key.out,
              "Profile 2, scheme 0 (\"0\"): Caps Lock set to FF8000.\nThe keyboard shows per-key "
              "colours in lighting mode 20 (`quorvanectl lighting set --profile 2 --mode 20`).\n");
    EXPECT_EQ(key.code, 0) << key.err;
    const auto state = sim::LoadStateFile(folder.Path() / "k.state");
    ASSERT_TRUE(std::holds_alternative<sim::SimState>(state));
    const auto& pages = std::get<sim::SimState>(state).memory.colourPages;
    EXPECT_EQ(pages[192 + 25 * 3], 0xFF);  // Caps Lock is slot 25
    EXPECT_EQ(pages[192 + 25 * 3 + 1], 0x80);
    const std::filesystem::path file =
        env.documentsFolder / "Quorvane_51M" / "UserDengColor_1.userd";
    EXPECT_EQ(platform::IniFile::Load(file).file.Find("Mode0", "25"), "255,128,0,0");

    RunOk({"{kb}", "lighting", "set", "--profile", "2", "--mode", "20"});
    EXPECT_EQ(Run({"{kb}", "lighting", "key", "--profile", "2", "F5", "000000"}).out,
              "Profile 2, scheme 0 (\"0\"): F5 set to 000000 (with every key that has no colour "
              "of its own).\n");
    const Outcome fill = Run({"{kb}", "--json", "lighting", "fill", "--profile", "2", "00FF00"});
    EXPECT_NE(fill.out.find("\"ok\": true"), std::string::npos) << fill.out;

    for (const auto& [args, err] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"G9", "FF0000"}, "quorvanectl: \"G9\" has no light of its own on the keyboard\n"},
             {{"0x161", "FF0000"},
              "quorvanectl: \"0x161\" has no light of its own on the keyboard\n"},
             {{"A", "red"}, "quorvanectl: colour 'red' is not RRGGBB in hex\n"}}) {
        std::vector<std::string> command{"{kb}", "lighting", "key", "--profile", "2"};
        command.insert(command.end(), args.begin(), args.end());
        const Outcome refused = Run(command);
        EXPECT_EQ(refused.err, err);
        EXPECT_EQ(refused.code, 5);
    }
}

TEST_F(CliTest, SchemesAreListedSavedAndLoaded) {
    RunOk({"{kb}", "lighting", "key", "--profile", "1", "A", "0000FF"});
    const Outcome save =
        Run({"lighting", "scheme", "save", "--profile", "1", "4", "--name", "Blue A"});
    EXPECT_EQ(save.out,
              "Profile 1: the colours of scheme 0 saved as scheme 4 (\"Blue A\"), now in use.\n");
    RunOk({"{kb}", "lighting", "key", "--profile", "1", "A", "00FF00"});
    EXPECT_EQ(Run({"lighting", "scheme", "list", "--profile", "1"}).out,
              "Profile 1 colour schemes:\n  0  0\n  1  0\n  2  0\n  3  0\n* 4  Blue A\n  5  0\n"
              "  6  0\n  7  0\n  8  0\n  9  0\n");
    // Scheme 0 still holds the blue A, and loading it writes the whole page.
    env.keyboardDone = [](service::KeyboardBackend& backend) {
        int pageWrites = 0;
        for (const auto& report : backend.simulated()->SentReports()) {
            pageWrites += device::DeviceReport(report).Command() == device::CMD_WRITE_KEY_COLOURS;
        }
        EXPECT_EQ(pageWrites, 4);
    };
    RunOk({"{kb}", "lighting", "scheme", "load", "--profile", "1", "0"});
    env.keyboardDone = {};
    const auto state = sim::LoadStateFile(folder.Path() / "k.state");
    ASSERT_TRUE(std::holds_alternative<sim::SimState>(state));
    EXPECT_EQ(std::get<sim::SimState>(state).memory.colourPages[26 * 3 + 2], 0xFF);
    EXPECT_EQ(std::get<sim::SimState>(state).memory.colourPages[26 * 3 + 1], 0x00);
}

TEST_F(CliTest, SchemeNamesHoldAsMuchAsMacroNames) {
    const std::filesystem::path file =
        env.documentsFolder / "Quorvane_51M" / "UserDengColor_0.userd";
    std::string e249;
    for (int i = 0; i < 249; ++i) {
        e249 += "\xC3\xA9";  // one UTF-16 unit, two bytes
    }
    struct Case {
        std::string name;
        bool taken;
    };
    const std::vector<Case> cases{
        {e249, true},
        {std::string(249, 'x'), true},
        {e249 + "x", false},
        {std::string(250, 'x'), false},
        {std::string(100'000, 'x'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.size());
        const std::string before = ReadFile(file);
        const Outcome save =
            Run({"lighting", "scheme", "save", "--profile", "1", "3", "--name", c.name});
        if (c.taken) {
            EXPECT_EQ(save.code, 0) << save.err;
            EXPECT_NE(ReadFile(file).find("3=" + c.name + "\n"), std::string::npos);
        } else {
            EXPECT_EQ(save.err, "quorvanectl: a scheme name has at most 249 characters\n");
            EXPECT_EQ(save.code, 5);
            EXPECT_EQ(ReadFile(file), before);
        }
    }

    // A longer name an earlier version let in is shown cut, and the file keeps it.
    std::ofstream(file, std::ios::trunc) << "[MODENAME]\n1=" << std::string(100'000, 'y') << "\n";
    const Outcome list = Run({"lighting", "scheme", "list", "--profile", "1"});
    EXPECT_NE(list.out.find("  1  " + std::string(249, 'y') + "\n"), std::string::npos);
    EXPECT_EQ(ReadFile(file).size(), 100'014u);
}

TEST_F(CliTest, DamagedSchemesAndKeyboardsWithoutPerKeyColoursAreRefused) {
    const std::filesystem::path file =
        env.documentsFolder / "Quorvane_51M" / "UserDengColor_0.userd";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "[PRESENTMODE]\nmode=x\n";
    const Outcome damaged = Run({"{kb}", "lighting", "key", "--profile", "1", "A", "0000FF"});
    EXPECT_EQ(damaged.err, "quorvanectl: the colour schemes cannot be used: " + file.string() +
                               ": [PRESENTMODE] mode \"x\" is not a scheme number 0..9\n");
    EXPECT_EQ(damaged.code, 5);
    EXPECT_EQ(Run({"lighting", "scheme", "list", "--profile", "1"}).code, 5);
    EXPECT_EQ(ReadFile(file), "[PRESENTMODE]\nmode=x\n");

    beforeArrival = [](sim::SimHidService& keyboard) {
        keyboard.UpdateMemory([](sim::KeyboardMemory& memory) {
            std::fill_n(memory.settings.begin() + sim::kSettingsModeList, 32, std::uint8_t{0});
            memory.settings[sim::kSettingsModeList] = 1;
        });
    };
    const Outcome noPerKey = Run({"{kb}", "lighting", "fill", "--profile", "2", "0000FF"});
    EXPECT_EQ(noPerKey.err,
              "quorvanectl: the keyboard has no per-key colours (it does not offer lighting mode "
              "20)\n");
    EXPECT_EQ(noPerKey.code, 5);
}

// ---- Limits ----

TEST_F(CliTest, MacrosBeyondTheLimitsAreRefusedBeforeAnythingIsWritten) {
    std::string thousandTaps;
    for (int i = 0; i < 1001; ++i) {
        thousandTaps += "tap A, ";
    }
    const Outcome tooManySteps = Run({"{kb}", "macro", "add", "Long", thousandTaps});
    EXPECT_EQ(tooManySteps.err,
              "quorvanectl: the macro steps are not right: step 1001 (\"tap A\"): a macro holds "
              "at most 2000 steps\n");
    EXPECT_EQ(tooManySteps.code, 5);

    const Outcome hugeText =
        Run({"{kb}", "macro", "add", "Huge", std::string(1'000'000, 'x'), "--apply"});
    EXPECT_EQ(hugeText.err,
              "quorvanectl: the macro steps are not right: the steps are longer than 131072 "
              "bytes; a macro holds at most 2000 steps\n");
    EXPECT_EQ(hugeText.code, 5);

    // One unit of 128 bytes: the header, an offset and 27 actions at most.
    beforeArrival = [](sim::SimHidService& keyboard) {
        keyboard.UpdateMemory(
            [](sim::KeyboardMemory& memory) { memory.settings[sim::kSettingsMacroCapacity] = 1; });
    };
    std::string fortyTaps;
    for (int i = 0; i < 20; ++i) {
        fortyTaps += "tap B, ";
    }
    const Outcome tooBig = Run({"{kb}", "macro", "add", "Big", fortyTaps, "--apply"});
    EXPECT_EQ(tooBig.err,
              "quorvanectl: the macros would need 182 bytes of the keyboard's macro memory, which "
              "holds 128 bytes; nothing was changed\n");
    EXPECT_EQ(tooBig.code, 5);
    EXPECT_FALSE(std::filesystem::exists(env.stateFolder / "quorvane" / "pending.fwc"));
    RunOk({"{kb}", "macro", "add", "Small", "tap B"});
}

TEST_F(CliTest, TheMemoryMeterWarnsBeforeTheApply) {
    // One unit of 128 bytes.
    beforeArrival = [](sim::SimHidService& keyboard) {
        keyboard.UpdateMemory(
            [](sim::KeyboardMemory& memory) { memory.settings[sim::kSettingsMacroCapacity] = 1; });
    };
    // Compact 16 + 2 + 4 + 8 = 30 bytes; the 60-character name would take 120 more.
    const Outcome added = Run({"{kb}", "macro", "add", std::string(60, 'n'), "tap A"});
    EXPECT_EQ(added.code, 0);
    EXPECT_EQ(added.err,
              "quorvanectl: the macro names do not fit the keyboard's macro memory (30 of 128 "
              "bytes used (24%); without names, which do not fit): the keyboard will get the "
              "macros without their names\n");
    EXPECT_EQ(Run({"{kb}", "macro", "list"}).out,
              "1  " + std::string(60, 'n') +
                  "  (2 steps, played 1x)\n"
                  "Macro memory: 30 of 128 bytes used (24%); without names, which do not fit\n");

    // 16 + 2 + 4 + 4 x 30 = 142 bytes: refused before anything is kept.
    const Outcome edited = Run({"{kb}", "macro", "edit", "1", "--text", std::string(15, 'a')});
    EXPECT_EQ(edited.err,
              "quorvanectl: the macros would need 142 bytes of the keyboard's macro memory, which "
              "holds 128 bytes; nothing was changed\n");
    EXPECT_EQ(edited.code, 5);
    EXPECT_EQ(Run({"{kb}", "macro", "show", "1"}).out,
              "1  " + std::string(60, 'n') + "  (2 steps, played 1x)\npress   A\nrelease A\n");
}

TEST_F(CliTest, OversizedLanguageFileIsRefusedWithAMessage) {
    env.programFolder = folder.Path() / "program";
    std::filesystem::create_directories(env.programFolder);
    const std::filesystem::path lang = env.programFolder / "Lang0409.ini";
    std::ofstream(lang) << "[TEXT]\n";
    std::filesystem::resize_file(lang, platform::kMaxIniFileBytes + 1);
    const Outcome outcome = Run({"keys", "list"});
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n') + 1),
              "quorvanectl: warning: " + lang.string() +
                  ": is larger than 16 MiB and was not read; the built-in English texts are "
                  "used\n");
    EXPECT_NE(outcome.out.find("Caps Lock"), std::string::npos);
}

TEST_F(CliTest, EachSubcommandsHelpShowsItsOwnExamples) {
    const Outcome assign = Run({"assign", "--help"});
    EXPECT_NE(assign.out.find("quorvanectl assign \"Caps Lock\" macro:1 --repeat 2"),
              std::string::npos);
    const Outcome lighting = Run({"lighting", "set", "--help"});
    EXPECT_NE(lighting.out.find("quorvanectl lighting set --profile 2 --brightness 2"),
              std::string::npos);
    EXPECT_EQ(lighting.out.find("quorvanectl assign"), std::string::npos);
}

}  // namespace
}  // namespace qv::cli
