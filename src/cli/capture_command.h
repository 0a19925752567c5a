#pragma once

// `capture`: reads the keyboard's key pages and macros into the current profile file.

#include "cli/cli_command.h"

namespace qv::cli {

void AddCaptureCommand(CLI::App& app, Command& selected);

}  // namespace qv::cli
