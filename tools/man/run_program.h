#pragma once
// Runs a program and collects what it prints on stdout.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qv::helpdoc {

// Nothing when the program cannot be started, exits with a status other than 0, is ended by a
// signal, or is still running after `limit` (it is then killed, so a build never hangs on it).
std::optional<std::string> RunForOutput(const std::string& program,
                                        const std::vector<std::string>& arguments,
                                        std::chrono::milliseconds limit);

}  // namespace qv::helpdoc
