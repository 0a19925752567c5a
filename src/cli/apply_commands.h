#pragma once

// `apply` and `discard`: the pending edits written to the keyboard they were made on, or
// dropped.

#include "cli/cli_command.h"

namespace qv::cli {

void AddApplyCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
