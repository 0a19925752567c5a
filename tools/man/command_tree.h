#pragma once
// A program's commands, found by reading its --help and then each listed subcommand's --help.

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "help_page.h"

namespace qv::helpdoc {

struct Command {
    std::vector<std::string> path;  // {"macro", "add"}; empty for the program itself
    HelpPage help;
    std::vector<Command> subcommands;

    std::string PathText() const;  // "macro add"
};

// Runs the program with these arguments and returns what it printed; nothing when it failed.
using HelpRunner = std::function<std::optional<std::string>(const std::vector<std::string>&)>;

struct DiscoveryError {
    std::string message;
};

// Reads `PROGRAM --help`, then `PROGRAM SUB --help` for every subcommand listed, and so on down.
// A help whose usage line is not that of the command asked for (CLI11 prints its parent's for a
// name it does not know) is an error, as is nesting deeper than `maxDepth`.
std::variant<Command, DiscoveryError> DiscoverCommands(const HelpRunner& run,
                                                       const std::string& programName,
                                                       std::size_t maxDepth = 6);

}  // namespace qv::helpdoc
