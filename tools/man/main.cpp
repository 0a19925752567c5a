// quorvane_helpdoc: writes a program's man page or bash completion from what its --help, and
// the --help of each of its commands, print. Run at build time, so both follow the program.
//
//   quorvane_helpdoc man PROGRAM OUTPUT [--name NAME] [--source TEXT] [--see-also PAGE]...
//   quorvane_helpdoc bash-completion PROGRAM OUTPUT [--name NAME]

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bash_completion.h"
#include "command_tree.h"
#include "roff_page.h"
#include "run_program.h"

namespace {

using namespace qv::helpdoc;

// A program's help comes at once; one that takes longer is waiting for something.
constexpr std::chrono::seconds kHelpTimeLimit{30};

int Usage() {
    std::fprintf(stderr,
                 "usage: quorvane_helpdoc man PROGRAM OUTPUT [--name NAME] [--source TEXT] "
                 "[--see-also PAGE]...\n"
                 "       quorvane_helpdoc bash-completion PROGRAM OUTPUT [--name NAME]\n");
    return 2;
}

// Written beside the target and renamed over it, so a failed run leaves no half a file.
bool WriteFile(const std::filesystem::path& target, const std::string& text) {
    std::error_code error;
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    const std::filesystem::path partial = target.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            return false;
        }
    }
    std::filesystem::rename(partial, target, error);
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return Usage();
    }
    const std::string mode = argv[1];
    const std::string program = argv[2];
    const std::filesystem::path output = argv[3];
    ManPageInfo info;
    info.name = std::filesystem::path(program).filename().string();
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return Usage();
        }
        const std::string value = argv[++i];
        if (option == "--name") {
            info.name = value;
        } else if (option == "--source") {
            info.source = value;
        } else if (option == "--see-also") {
            info.seeAlso.push_back(value);
        } else {
            return Usage();
        }
    }
    if (mode != "man" && mode != "bash-completion") {
        return Usage();
    }

    const auto runner = [&program](const std::vector<std::string>& arguments) {
        return RunForOutput(program, arguments, kHelpTimeLimit);
    };
    auto discovered = DiscoverCommands(runner, info.name);
    if (const auto* error = std::get_if<DiscoveryError>(&discovered)) {
        std::fprintf(stderr, "quorvane_helpdoc: %s\n", error->message.c_str());
        return 1;
    }
    const Command& root = std::get<Command>(discovered);
    const std::string text =
        mode == "man" ? WriteManPage(root, info) : WriteBashCompletion(root, info.name);
    if (!WriteFile(output, text)) {
        std::fprintf(stderr, "quorvane_helpdoc: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
