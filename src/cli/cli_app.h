#pragma once

// quorvanectl as a function: parses the arguments, opens the keyboard when the command needs
// one, runs the command and gives the exit code. Tests run it in-process.

#include <ostream>
#include <span>
#include <string>

#include "cli/cli_environment.h"

namespace qv::cli {

// `args` are the arguments after the program's name.
[[nodiscard]] int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                         const CliEnvironment& env);

}  // namespace qv::cli
