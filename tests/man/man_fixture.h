#pragma once
// A small program's help texts, answered as the program would answer "ARGS --help".

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "command_tree.h"
#include "text_util.h"

namespace qv::helpdoc::testing {

// CLI11 copies a program's footer into every subcommand made after it is set.
inline constexpr const char* kToolFooter =
    "Examples:\n"
    "  tool --keyboard=sim info      try it\n"
    "  tool --keyboard sim macro add \"Copy all\" \"tap A\"\n"
    "\n"
    "Edits stay pending until `apply`.\n"
    "Exit codes: 0 done, 5 bad input.";

inline std::map<std::string, std::string> ToolHelp() {
    const std::string footer = std::string("\n\n") + kToolFooter + "\n";
    return {
        {"--help",
         "tool - set up the thing.\n\n"
         ".dot first, back\\slash and 'quote.\n"
         "Usage: ./tool [OPTIONS] SUBCOMMAND\n\n"
         "Options:\n"
         "  -h,--help                   Print this help message and exit\n"
         "  --keyboard KIND             'real' or 'sim:PATH', state in $XDG_STATE_HOME/tool\n\n"
         "Subcommands:\n"
         "  info                        Show it\n"
         "  macro                       Macros\n" +
             footer},
        {"info --help",
         "Show it\nUsage: ./tool info [OPTIONS]\n\nOptions:\n"
         "  -h,--help                   Print this help message and exit\n" +
             footer},
        {"macro --help",
         "Macros\nUsage: ./tool macro [OPTIONS] SUBCOMMAND\n\nOptions:\n"
         "  -h,--help                   Print this help message and exit\n\n"
         "Subcommands:\n"
         "  add                         Add a macro\n" +
             footer},
        {"macro add --help",
         "Add a macro\nUsage: ./tool macro add [OPTIONS] name\n\n"
         "Positionals:\n"
         "  name TEXT REQUIRED          The name\n\n"
         "Options:\n"
         "  -h,--help                   Print this help message and exit\n"
         "  --apply                     Write at once\n" +
             footer},
    };
}

inline HelpRunner RunnerFor(std::map<std::string, std::string> answers) {
    return [answers = std::move(answers)](
               const std::vector<std::string>& arguments) -> std::optional<std::string> {
        const auto found = answers.find(JoinWords(arguments));
        if (found == answers.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

}  // namespace qv::helpdoc::testing
