#pragma once

// `lighting key|fill|scheme`: per-key colours, kept in the profile's colour schemes (the user
// colour files in the profile folder) and written to the keyboard's colour page at once.

#include "cli/cli_command.h"

namespace qv::cli {

void AddColourCommands(CLI::App& lightingCmd, Command& selected);

}  // namespace qv::cli
