#include "help_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::helpdoc {
namespace {

// As CLI11 2.1 prints it: the description first, names padded to column 30 (and one blank only
// when they fill it), long names with their description on the next line, and a footer that
// starts like a list.
constexpr const char* kCli11Help =
    "tool - set up the thing.\n"
    "Profiles are numbered 1 to 4.\n"
    "Usage: /build/bin/tool lighting set [OPTIONS] name\n"
    "\n"
    "Positionals:\n"
    "  name TEXT REQUIRED          The name\n"
    "\n"
    "Options:\n"
    "  -h,--help                   Print this help message and exit\n"
    "  --profile INT:INT in [1 - 4] REQUIRED\n"
    "                              Profile 1..4\n"
    "  --mode INT:INT in [1 - 255] Lighting mode number\n"
    "  --report-rate INT:INT in [0 - 3]\n"
    "                              Report rate\n"
    "  --colour,--color TEXT (Env:TOOL_COLOUR)\n"
    "                              Single colour\n"
    "  --apply Excludes: --dry     Write at once\n"
    "\n"
    "Subcommands:\n"
    "  show                        Show it\n"
    "  set                         Change it\n"
    "\n"
    "\n"
    "Examples:\n"
    "  tool --keyboard=sim info    try it\n"
    "\n"
    "Exit codes: 0 done, 5 bad input.\n";

TEST(ManHelpPage, ReadsCli11Layout) {
    const auto page = ParseHelp(kCli11Help, "tool");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->usage, "tool lighting set [OPTIONS] name");
    EXPECT_EQ(page->description, "tool - set up the thing.\nProfiles are numbered 1 to 4.");

    ASSERT_EQ(page->positionals.size(), 1u);
    EXPECT_EQ(page->positionals[0].names, std::vector<std::string>{"name"});
    EXPECT_EQ(page->positionals[0].valueType, "TEXT");
    EXPECT_TRUE(page->positionals[0].required);

    ASSERT_EQ(page->options.size(), 6u);
    EXPECT_EQ(page->options[0].names, (std::vector<std::string>{"-h", "--help"}));
    EXPECT_EQ(page->options[0].valueType, "");
    EXPECT_EQ(page->options[1].valueType, "INT:INT in [1 - 4]");
    EXPECT_TRUE(page->options[1].required);
    EXPECT_EQ(page->options[1].description, "Profile 1..4");
    EXPECT_EQ(page->options[2].valueType, "INT:INT in [1 - 255]");
    EXPECT_EQ(page->options[2].description, "Lighting mode number");
    // Too long for the column, with a blank where the column ends.
    EXPECT_EQ(page->options[3].valueType, "INT:INT in [0 - 3]");
    EXPECT_EQ(page->options[3].description, "Report rate");
    EXPECT_EQ(page->options[4].names, (std::vector<std::string>{"--colour", "--color"}));
    EXPECT_EQ(page->options[4].envVar, "TOOL_COLOUR");
    EXPECT_EQ(page->options[4].valueType, "TEXT");
    EXPECT_EQ(page->options[5].valueType, "") << "what it excludes is not its value";

    ASSERT_EQ(page->subcommands.size(), 2u);
    EXPECT_EQ(page->subcommands[1].names.front(), "set");
    EXPECT_EQ(page->subcommands[1].description, "Change it");
    EXPECT_EQ(page->footer.substr(0, 10), "Examples:\n");
}

TEST(ManHelpPage, ReadsQtLayout) {
    const auto page = ParseHelp(
        "Usage: ./app [options] file\n"
        "App: does things.\n"
        "It stays in the tray.\n"
        "\n"
        "Options:\n"
        "  -h, --help         Displays help.\n"
        "  --keyboard <kind>  Which keyboard: 'real' (default), 'sim' (the\n"
        "                     built-in one) or a well-\n"
        "                     known one.\n"
        "\n"
        "Arguments:\n"
        "  file               The file to open.\n",
        "app");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->usage, "app [options] file");
    EXPECT_EQ(page->description, "App: does things.\nIt stays in the tray.");
    ASSERT_EQ(page->options.size(), 2u);
    EXPECT_EQ(page->options[0].names, (std::vector<std::string>{"-h", "--help"}));
    EXPECT_EQ(page->options[1].valueType, "<kind>");
    EXPECT_EQ(page->options[1].description,
              "Which keyboard: 'real' (default), 'sim' (the built-in one) or a well-known one.");
    ASSERT_EQ(page->positionals.size(), 1u);
    EXPECT_EQ(page->positionals[0].names.front(), "file");
    EXPECT_TRUE(page->footer.empty());
}

// Options and subcommands put in groups are listed under the group's name.
TEST(ManHelpPage, GroupedListsAreListsAndTheRestIsFooter) {
    const auto page = ParseHelp(
        "Usage: tool [OPTIONS] SUBCOMMAND\n"
        "\n"
        "Output options:\n"
        "  -h,     --help    Help\n"
        "  --json            As JSON\n"
        "\n"
        "Editing:\n"
        "  macro-edit        Edit a macro\n"
        "\n"
        "Examples:\n"
        "  tool macro-edit 1\n"
        "Files:\n"
        "  ~/.config/tool    settings\n",
        "tool");
    ASSERT_TRUE(page);
    ASSERT_EQ(page->options.size(), 2u);
    EXPECT_EQ(page->options[0].names, (std::vector<std::string>{"-h", "--help"}));
    ASSERT_EQ(page->subcommands.size(), 1u);
    EXPECT_EQ(page->subcommands[0].names.front(), "macro-edit");
    EXPECT_EQ(page->footer.substr(0, 9), "Examples:");
}

TEST(ManHelpPage, TextWithoutUsageLineIsNoHelp) {
    EXPECT_FALSE(ParseHelp("tool: unknown option --x\n", "tool"));
    EXPECT_FALSE(ParseHelp("", "tool"));
}

TEST(ManHelpPage, FooterTakenApart) {
    const Footer footer = ParseFooter(
        "Examples:\n"
        "  tool --keyboard=sim info                 try it on the simulated keyboard\n"
        "  tool macro add \"Copy all\" \"tap A\"\n"
        "  tool apply                               write pending edits\n"
        "                                           to the keyboard\n"
        "\n"
        "Edits stay pending until `apply`.\n"
        "Exit codes: 0 done, 2 no keyboard.\n"
        "\n"
        "Files:\n"
        "  ~/.local/state/tool/pending    pending edits\n"
        "Environment:\n"
        "  TOOL_KEYBOARD                  the default keyboard\n");
    ASSERT_EQ(footer.examples.size(), 3u);
    EXPECT_EQ(footer.examples[0].command, "tool --keyboard=sim info");
    EXPECT_EQ(footer.examples[0].note, "try it on the simulated keyboard");
    EXPECT_EQ(footer.examples[1].command, "tool macro add \"Copy all\" \"tap A\"");
    EXPECT_EQ(footer.examples[1].note, "");
    EXPECT_EQ(footer.examples[2].note, "write pending edits to the keyboard");
    EXPECT_EQ(footer.exitStatus, "0 done, 2 no keyboard.");
    EXPECT_EQ(footer.paragraphs, std::vector<std::string>{"Edits stay pending until `apply`."});
    ASSERT_EQ(footer.files.size(), 1u);
    EXPECT_EQ(footer.files[0].names.front(), "~/.local/state/tool/pending");
    ASSERT_EQ(footer.environment.size(), 1u);
    EXPECT_EQ(footer.environment[0].description, "the default keyboard");
}

TEST(ManHelpPage, ExitCodesSplitOnlyWhenEachStartsWithANumber) {
    using Codes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(SplitExitCodes("0 done, 2 no keyboard, 4 set-up problem."),
              (Codes{{"0", "done"}, {"2", "no keyboard"}, {"4", "set-up problem"}}));
    EXPECT_EQ(SplitExitCodes("0 on success, otherwise an error"), Codes{});
    EXPECT_EQ(SplitExitCodes("zero when done"), Codes{});
    EXPECT_EQ(SplitExitCodes("0"), Codes{});
}

}  // namespace
}  // namespace qv::helpdoc
