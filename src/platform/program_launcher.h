#pragma once

// Starting another program (the maker's updater, the companion program) the way the shell's
// "open" verb does, shown normally. The desktop app maps a Windows program name to a program on
// the search path or beside the tool; tests record what was asked.

#include <filesystem>
#include <string_view>

namespace qv::platform {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;

    // Starts `program` with the parameter text in `workingDirectory` and does not wait for it.
    // False when it could not be started, a program that is not installed included; callers
    // go on as if it had started.
    [[nodiscard]] virtual bool Start(std::string_view program, std::string_view parameters,
                                     const std::filesystem::path& workingDirectory) = 0;
};

}  // namespace qv::platform
