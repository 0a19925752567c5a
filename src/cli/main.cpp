// quorvanectl: the keyboard's settings from the command line, through the same keyboard
// service as the desktop app.

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qv::cli::RunCli(args, std::cout, std::cerr, qv::cli::CliEnvironment::FromSystem());
}
