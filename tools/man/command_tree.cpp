#include "command_tree.h"

#include "text_util.h"

namespace qv::helpdoc {
namespace {

std::optional<DiscoveryError> Discover(const HelpRunner& run, const std::string& programName,
                                       std::size_t depthLeft, Command& command) {
    std::vector<std::string> arguments = command.path;
    arguments.emplace_back("--help");
    const std::string shown = programName + " " + JoinWords(arguments);
    const std::optional<std::string> output = run(arguments);
    if (!output) {
        return DiscoveryError{"'" + shown + "' failed"};
    }
    std::optional<HelpPage> page = ParseHelp(*output, programName);
    if (!page) {
        return DiscoveryError{"'" + shown + "' printed no usage line"};
    }
    const std::string expected = JoinWords([&] {
        std::vector<std::string> words{programName};
        words.insert(words.end(), command.path.begin(), command.path.end());
        return words;
    }());
    const std::string usage = JoinWords(SplitWords(page->usage));
    if (usage != expected && !usage.starts_with(expected + " ")) {
        return DiscoveryError{"'" + shown +
                              "' printed the help of another command (usage: " + page->usage + ")"};
    }
    command.help = std::move(*page);
    if (command.help.subcommands.empty()) {
        return std::nullopt;
    }
    if (depthLeft == 0) {
        return DiscoveryError{"'" + shown + "' lists subcommands nested too deep"};
    }
    for (const HelpEntry& entry : command.help.subcommands) {
        Command sub;
        sub.path = command.path;
        sub.path.push_back(entry.names.front());
        if (auto error = Discover(run, programName, depthLeft - 1, sub)) {
            return error;
        }
        command.subcommands.push_back(std::move(sub));
    }
    return std::nullopt;
}

}  // namespace

std::string Command::PathText() const {
    return JoinWords(path);
}

std::variant<Command, DiscoveryError> DiscoverCommands(const HelpRunner& run,
                                                       const std::string& programName,
                                                       std::size_t maxDepth) {
    Command root;
    if (auto error = Discover(run, programName, maxDepth, root)) {
        return *error;
    }
    return root;
}

}  // namespace qv::helpdoc
