#pragma once

// The simulated keyboard's memory kept in a text file between runs (format: docs/sim-state.md).

#include <filesystem>
#include <string>
#include <variant>

#include "sim/keyboard_memory.h"

namespace qv::sim {

struct StateFileError {
    std::string message;  // for the user: names the file and, for a bad file, the line
};

// A missing file is not an error for the caller to show: LoadOrFactory gives factory memory.
[[nodiscard]] std::variant<KeyboardMemory, StateFileError> LoadStateFile(
    const std::filesystem::path& path);
// Written atomically: a temporary file in the same folder, flushed, renamed over the target.
[[nodiscard]] std::variant<std::monostate, StateFileError> SaveStateFile(
    const std::filesystem::path& path, const KeyboardMemory& memory);

}  // namespace qv::sim
