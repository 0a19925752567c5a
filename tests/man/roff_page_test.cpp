#include "roff_page.h"

#include <gtest/gtest.h>

#include "man_fixture.h"

namespace qv::helpdoc {
namespace {

using testing::RunnerFor;
using testing::ToolHelp;

TEST(ManRoffPage, EscapesWhatRoffWouldRead) {
    const struct {
        const char* text;
        const char* roff;
    } cases[] = {
        {".starts with a dot", "\\&.starts with a dot\n"},
        {"'starts with a quote", "\\&'starts with a quote\n"},
        {"back\\slash", "back\\eslash\n"},
        {"--apply and set-up", "\\-\\-apply and set\\-up\n"},
        {"run `quorvanectl apply` now", "run \\fBquorvanectl apply\\fR now\n"},
        {"a lone ` quote", "a lone \\(ga quote\n"},
        {"  two\n\n  lines  ", "two\nlines\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapeRoffText(c.text), c.roff) << c.text;
    }
}

TEST(ManRoffPage, ExampleBelongsToTheDeepestCommandItRuns) {
    const Command tool = std::get<Command>(DiscoverCommands(RunnerFor(ToolHelp()), "tool"));
    const struct {
        const char* example;
        std::vector<std::string> path;
    } cases[] = {
        {"tool info", {"info"}},
        {"tool --keyboard sim macro add x", {"macro", "add"}},  // an option's value skipped
        {"tool --keyboard=sim macro", {"macro"}},
        {"tool macro list", {"macro"}},
        {"tool", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExampleTarget(tool, c.example), c.path) << c.example;
    }
}

class ManRoffPageOfTool : public ::testing::Test {
protected:
    std::string page =
        WriteManPage(std::get<Command>(DiscoverCommands(RunnerFor(ToolHelp()), "tool")),
                     {.name = "tool", .source = "Tool 1.0", .date = "", .seeAlso = {"other"}});

    std::size_t Count(const std::string& text) const {
        std::size_t count = 0;
        for (auto at = page.find(text); at != std::string::npos; at = page.find(text, at + 1)) {
            ++count;
        }
        return count;
    }
};

TEST_F(ManRoffPageOfTool, HasTheSectionsTheHelpGivesMaterialFor) {
    for (const char* line :
         {".TH \"TOOL\" 1 \"\" \"Tool 1.0\" \"User Commands\"\n",
          ".SH NAME\ntool \\- set up the thing\n",
          ".SH SYNOPSIS\n\\&\\fBtool\\fR [OPTIONS] SUBCOMMAND\n", ".SH DESCRIPTION\n",
          ".SH OPTIONS\n", ".SH COMMANDS\n", ".SS \"info\"\n", ".SS \"macro add\"\n",
          ".SH EXIT STATUS\n.TP\n\\fB0\\fR\ndone\n", ".SH EXAMPLES\n",
          ".SH SEE ALSO\n.BR other (1)\n", ".SH ENVIRONMENT\n.TP\n\\fBXDG_STATE_HOME\\fR\n",
          ".SH FILES\n.TP\n\\fI$XDG_STATE_HOME/tool\\fR\n"}) {
        EXPECT_NE(page.find(line), std::string::npos) << line;
    }
    EXPECT_NE(page.find("\\&.dot first, back\\eslash and 'quote.\n"), std::string::npos);
}

// Every subcommand's help repeats the program's footer; the page says it once.
TEST_F(ManRoffPageOfTool, InheritedFooterIsNotRepeatedPerCommand) {
    EXPECT_EQ(Count("Edits stay pending"), 1u);
    EXPECT_EQ(Count("Exit codes"), 0u) << "the exit codes make their own section";
    // Each example once under EXAMPLES and once under the command it runs.
    EXPECT_EQ(Count("\\fBtool \\-\\-keyboard=sim info\\fR"), 2u);
    const auto macroAdd = page.find(".SS \"macro add\"");
    EXPECT_NE(page.find("macro add \"Copy all\"", macroAdd), std::string::npos);
    EXPECT_EQ(Count("Print this help message"), 1u) << "-h, --help said once for all commands";
}

}  // namespace
}  // namespace qv::helpdoc
