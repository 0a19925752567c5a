#pragma once

// The folder the program's data files (Skins/, Help/, the text lookup file) are read from:
// the executable's own folder when it holds Skins/ (a build tree or a portable copy),
// otherwise the installed data folder.

#include <filesystem>

namespace qv::platform {

[[nodiscard]] std::filesystem::path ProgramFolder();

}  // namespace qv::platform
