#pragma once

// The folder the program's data files (Skins/, Help/, the text lookup file) are read from:
// the executable's own folder when it holds Skins/ (a build tree or a portable copy),
// otherwise the data folder of the prefix it is installed in (<prefix>/share/quorvane), and
// failing both the data folder of the prefix it was built for.

#include <filesystem>

namespace qv::platform {

[[nodiscard]] std::filesystem::path ProgramFolder();

}  // namespace qv::platform
