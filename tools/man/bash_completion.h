#pragma once
// A bash completion script for a program, written from its command tree: it completes the
// subcommands at each level, the options of the command being typed and the values they take.

#include <string>

#include "command_tree.h"

namespace qv::helpdoc {

std::string WriteBashCompletion(const Command& program, const std::string& programName);

// A word as a single-quoted bash word.
std::string ShellQuote(const std::string& word);

}  // namespace qv::helpdoc
