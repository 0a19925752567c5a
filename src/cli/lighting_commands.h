#pragma once

// `settings`, `lighting show|set|restore` and `profile show|set`.

#include <CLI/CLI.hpp>
#include <functional>

#include "cli/keyboard_session.h"

namespace qv::cli {

struct GlobalOptions {
    std::string keyboard = "real";
    bool json = false;
    bool trace = false;
    bool assumeYes = false;
};

// A command to run once the keyboard is open; returns the exit code.
using CommandRunner = std::function<int(KeyboardSession&, const GlobalOptions&)>;
// A command that works on files only and needs no keyboard.
using OfflineRunner = std::function<int(const GlobalOptions&)>;

void AddLightingCommands(CLI::App& app, CommandRunner& selected);

}  // namespace qv::cli
