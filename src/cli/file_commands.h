#pragma once

// `validate`, `import` and `export`: profile files.

#include "cli/cli_command.h"

namespace qv::cli {

void AddFileCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
