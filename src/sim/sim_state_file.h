#pragma once

// The simulated keyboard's memory kept in a text file between runs (format: docs/sim-state.md).

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "sim/keyboard_memory.h"

namespace qv::sim {

struct StateFileError {
    std::string message;  // for the user: names the file and, for a bad file, the line
};

// A missing file is an error here; LoadOrFactory gives factory memory for it instead.
[[nodiscard]] std::variant<KeyboardMemory, StateFileError> LoadStateFile(
    const std::filesystem::path& path);
// The keyboard as the file left it, or fresh from the factory when there is no file yet. A file
// that exists but cannot be read or parsed is still an error.
[[nodiscard]] std::variant<KeyboardMemory, StateFileError> LoadOrFactory(
    const std::filesystem::path& path);
// The parser behind LoadStateFile, on text already in memory (fuzz targets, tests); fileName
// only goes into the error messages.
[[nodiscard]] std::variant<KeyboardMemory, StateFileError> ParseStateText(
    std::string_view text, const std::string& fileName);
// Written atomically: a temporary file in the same folder, flushed, renamed over the target.
[[nodiscard]] std::variant<std::monostate, StateFileError> SaveStateFile(
    const std::filesystem::path& path, const KeyboardMemory& memory);

}  // namespace qv::sim
