#pragma once

// `dump keys` and `dump macros`: the keyboard's key pages and macro area, decoded.

#include <CLI/CLI.hpp>

#include "cli/lighting_commands.h"

namespace qv::cli {

void AddDumpCommands(CLI::App& app, CommandRunner& selected);

}  // namespace qv::cli
