#pragma once

// `dump keys|macros`: what the keyboard holds, read from it and decoded.

#include "cli/cli_command.h"

namespace qv::cli {

void AddDumpCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
