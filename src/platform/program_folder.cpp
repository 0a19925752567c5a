#include "platform/program_folder.h"

#include <system_error>

#ifndef QUORVANE_DATA_DIR
#define QUORVANE_DATA_DIR "/usr/local/share/quorvane"
#endif

namespace qv::platform {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path folder = executable.parent_path();
        if (std::filesystem::is_directory(folder / "Skins", error)) {
            return folder;
        }
        // An installed program finds its data beside its prefix, wherever a package put it.
        const std::filesystem::path shared = folder.parent_path() / "share" / "quorvane";
        if (std::filesystem::is_directory(shared / "Skins", error)) {
            return shared;
        }
    }
    return QUORVANE_DATA_DIR;
}

}  // namespace qv::platform
