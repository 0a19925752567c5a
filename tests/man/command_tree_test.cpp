#include "command_tree.h"

#include <gtest/gtest.h>

#include "man_fixture.h"

namespace qv::helpdoc {
namespace {

using testing::RunnerFor;
using testing::ToolHelp;

TEST(ManCommandTree, FollowsEveryListedSubcommandDown) {
    auto found = DiscoverCommands(RunnerFor(ToolHelp()), "tool");
    ASSERT_TRUE(std::holds_alternative<Command>(found)) << std::get<DiscoveryError>(found).message;
    const Command& tool = std::get<Command>(found);
    ASSERT_EQ(tool.subcommands.size(), 2u);
    const Command& macro = tool.subcommands[1];
    ASSERT_EQ(macro.subcommands.size(), 1u);
    EXPECT_EQ(macro.subcommands[0].PathText(), "macro add");
    EXPECT_EQ(macro.subcommands[0].help.usage, "tool macro add [OPTIONS] name");
}

TEST(ManCommandTree, RefusesHelpsItCannotTrust) {
    struct Case {
        const char* what;
        std::string arguments;  // the help to change
        std::optional<std::string> answer;
        const char* message;
    };
    const std::string parentHelp = ToolHelp().at("macro --help");
    const std::vector<Case> cases{
        // CLI11 answers "tool macro nosuch --help" with the help of "tool macro".
        {"another command's help", "macro add --help", parentHelp, "help of another command"},
        {"a failed run", "macro add --help", std::nullopt, "failed"},
        {"no usage line", "info --help", "error: try again\n", "no usage line"},
    };
    for (const Case& c : cases) {
        auto answers = ToolHelp();
        if (c.answer) {
            answers[c.arguments] = *c.answer;
        } else {
            answers.erase(c.arguments);
        }
        auto found = DiscoverCommands(RunnerFor(answers), "tool");
        ASSERT_TRUE(std::holds_alternative<DiscoveryError>(found)) << c.what;
        EXPECT_NE(std::get<DiscoveryError>(found).message.find(c.message), std::string::npos)
            << c.what << ": " << std::get<DiscoveryError>(found).message;
    }
}

TEST(ManCommandTree, StopsAtTheDepthLimit) {
    auto found = DiscoverCommands(RunnerFor(ToolHelp()), "tool", 1);
    ASSERT_TRUE(std::holds_alternative<DiscoveryError>(found));
    EXPECT_NE(std::get<DiscoveryError>(found).message.find("too deep"), std::string::npos);
}

}  // namespace
}  // namespace qv::helpdoc
