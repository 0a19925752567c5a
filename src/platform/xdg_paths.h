#pragma once

// Per-user folders of a freedesktop system, from the environment with the usual fall-backs.

#include <filesystem>

namespace qv::platform {

[[nodiscard]] std::filesystem::path HomeFolder();
// $XDG_STATE_HOME, or ~/.local/state.
[[nodiscard]] std::filesystem::path StateFolder();
// $XDG_CONFIG_HOME, or ~/.config.
[[nodiscard]] std::filesystem::path ConfigFolder();
// XDG_DOCUMENTS_DIR from the user-dirs file, or the home folder.
[[nodiscard]] std::filesystem::path DocumentsFolder();

// Where `--keyboard=sim` keeps the simulated keyboard between runs.
[[nodiscard]] std::filesystem::path DefaultSimStatePath();

}  // namespace qv::platform
