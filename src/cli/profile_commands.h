#pragma once

// `profile show|set`: the keyboard's active profile.

#include "cli/cli_command.h"

namespace qv::cli {

void AddProfileCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
