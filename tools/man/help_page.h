#pragma once
// One program's or command's --help output, read into its parts. Two layouts are understood: the
// one CLI11 prints (quorvanectl) and the one Qt's command-line parser prints (quorvane).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv::helpdoc {

// An option, a positional argument or a subcommand as the help lists it.
struct HelpEntry {
    std::vector<std::string> names;  // "-h", "--help"; a positional or subcommand has one name
    std::string valueType;           // "INT:INT in [1 - 4]", "KIND", "<file>"; empty for a flag
    std::string envVar;              // the environment variable that also sets it, if any
    bool required = false;
    std::string description;  // wrapped lines joined into one
};

struct HelpPage {
    std::string usage;        // after "Usage:", starting with the program's name, not its path
    std::string description;  // paragraphs separated by "\n\n", lines of one paragraph by "\n"
    std::vector<HelpEntry> positionals;
    std::vector<HelpEntry> options;
    std::vector<HelpEntry> subcommands;
    std::string footer;  // the text after the lists, as printed
};

// Reads a help text. `programName` replaces the program path the usage line starts with.
// Nothing when the text has no usage line.
std::optional<HelpPage> ParseHelp(std::string_view text, std::string_view programName);

// A command line from an "Examples:" block, with the note printed beside it.
struct Example {
    std::string command;
    std::string note;
};

// A footer taken apart: examples, the exit status line, "Files:"/"Environment:" lists and the
// remaining prose.
struct Footer {
    std::vector<Example> examples;
    std::string exitStatus;  // the text after "Exit codes:" or "Exit status:"
    std::vector<HelpEntry> files;
    std::vector<HelpEntry> environment;
    std::vector<std::string> paragraphs;  // lines of one paragraph joined by "\n"
};
Footer ParseFooter(std::string_view footer);

// "0 done, 2 no keyboard" into {"0", "done"}, {"2", "no keyboard"}; nothing when the text does
// not have that shape.
std::vector<std::pair<std::string, std::string>> SplitExitCodes(std::string_view exitStatus);

}  // namespace qv::helpdoc
