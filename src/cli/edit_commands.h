#pragma once

// The key configuration from the command line: capture, show keys, assign, macros, apply,
// discard, validate, import and export.
//
// Edits are kept between runs as pending changes (a profile file in the user's state folder)
// until `apply` writes them to the keyboard, as the desktop app's Apply does; `--apply` on an
// edit writes at once.

#include <CLI/CLI.hpp>

#include "cli/lighting_commands.h"

namespace qv::cli {

void AddEditCommands(CLI::App& app, CommandRunner& selected, OfflineRunner& offline);

}  // namespace qv::cli
