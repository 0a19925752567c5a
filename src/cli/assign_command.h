#pragma once

// `assign KEY TARGET`: gives a key of the active profile a new job.

#include "cli/cli_command.h"

namespace qv::cli {

void AddAssignCommand(CLI::App& app, Command& selected);

}  // namespace qv::cli
