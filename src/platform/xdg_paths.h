#pragma once

// Per-user folders of a freedesktop system, from the environment with the usual fall-backs.

#include <filesystem>
#include <optional>
#include <string_view>

namespace qv::platform {

[[nodiscard]] std::filesystem::path HomeFolder();
// $XDG_STATE_HOME, or ~/.local/state.
[[nodiscard]] std::filesystem::path StateFolder();
// $XDG_CONFIG_HOME, or ~/.config.
[[nodiscard]] std::filesystem::path ConfigFolder();
// XDG_DOCUMENTS_DIR from the user-dirs file, or the home folder.
[[nodiscard]] std::filesystem::path DocumentsFolder();
// The documents folder that the text of a user-dirs file names: the first line
// XDG_DOCUMENTS_DIR="..." whose value, with a leading $HOME replaced by `home`, is absolute.
[[nodiscard]] std::optional<std::filesystem::path> DocumentsFolderIn(
    std::string_view userDirs, const std::filesystem::path& home);

// Where `--keyboard=sim` keeps the simulated keyboard between runs.
[[nodiscard]] std::filesystem::path DefaultSimStatePath();

}  // namespace qv::platform
