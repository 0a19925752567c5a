#pragma once
// A man page in roff (the man macros), written from a program's command tree.

#include <string>
#include <string_view>
#include <vector>

#include "command_tree.h"

namespace qv::helpdoc {

struct ManPageInfo {
    std::string name;                  // "quorvanectl"
    std::string source;                // "Quorvane 0.1.0", the page's footer
    std::string date;                  // may be empty
    std::vector<std::string> seeAlso;  // other pages of section 1
};

std::string WriteManPage(const Command& program, const ManPageInfo& info);

// Text made safe for a roff text line: backslashes and hyphens escaped, a leading '.' or '\''
// defused, `code` in bold. Line breaks are kept; each line is trimmed and blank ones dropped.
std::string EscapeRoffText(std::string_view text);

// The path of the command an example runs ({"macro", "add"}), or the deepest one it reaches.
std::vector<std::string> ExampleTarget(const Command& program, std::string_view exampleCommand);

}  // namespace qv::helpdoc
