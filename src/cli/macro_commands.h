#pragma once

// `macro list|show|add|edit|rename|move|clear|delete`.

#include "cli/cli_command.h"

namespace qv::cli {

void AddMacroCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
