#pragma once

// `settings`: the settings block, decoded and in hex.

#include "cli/cli_command.h"

namespace qv::cli {

void AddSettingsCommand(CLI::App& app, Command& selected);

}  // namespace qv::cli
