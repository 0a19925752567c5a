#pragma once

// What every command gets to run, and how a command is chosen: each command group adds its
// subcommands to the parser, and the one the command line names becomes the selected command.

#include <CLI/CLI.hpp>
#include <functional>
#include <ostream>
#include <string>

#include "cli/cli_environment.h"
#include "keys/key_names.h"

namespace qv::cli {

class CliKeyboard;

struct GlobalOptions {
    std::string keyboard = "real";
    bool json = false;
    bool trace = false;
    bool assumeYes = false;
};

struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    const GlobalOptions& options;
    const CliEnvironment& env;
    keys::TextLookupFn lookup;
    // The name of a lighting mode, from the lookup file.
    std::function<std::string(int)> modeName;
    // Null for commands that need no keyboard.
    CliKeyboard* keyboard = nullptr;
};

enum class Needs : bool { NoKeyboard, Keyboard };

struct Command {
    Needs needs = Needs::Keyboard;
    // Returns the exit code.
    std::function<int(CommandContext&)> run;
};

// The parser makes `command` the selected one when it meets `subcommand`.
inline void Select(CLI::App* subcommand, Command& selected, Command command) {
    subcommand->callback([&selected, command = std::move(command)] { selected = command; });
}

}  // namespace qv::cli
