#pragma once

// `keys list|show`: the key names the other commands accept, and the key assignments of a
// profile with the pending edits on top.

#include <string>
#include <string_view>

#include "cli/cli_command.h"

namespace qv::cli {

// The one message for a key name that names no key.
[[nodiscard]] std::string UnknownKeyMessage(std::string_view text,
                                            const keys::TextLookupFn& lookup);

void AddKeysCommands(CLI::App& app, Command& selected);

}  // namespace qv::cli
