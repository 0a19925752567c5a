#pragma once

// `lighting show|set|restore`.

#include "cli/cli_command.h"

namespace qv::cli {

void AddLightingCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
