#pragma once

// Starts a program the way the shell's "open" verb would: a Windows program name ("Tornquil.exe")
// is looked up on PATH without its ".exe", in lower case. A program that is not installed is
// skipped, as a failed start is.

#include "platform/program_launcher.h"

namespace qv::platform {

class PathLauncher final : public ProgramLauncher {
public:
    bool Start(std::string_view program, std::string_view parameters,
               const std::filesystem::path& workingDirectory) override;
};

// "Tornquil.exe" → "tornquil".
[[nodiscard]] std::string PosixProgramName(std::string_view windowsName);

}  // namespace qv::platform
