#pragma once

// The simulated keyboard's memory kept in a text file between runs (format: docs/sim-state.md).

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "sim/fault_plan.h"
#include "sim/keyboard_memory.h"

namespace qv::sim {

// What a state file holds: the keyboard's memory, and the faults a program arms when it starts
// using the keyboard (kept by every save, so they stay armed for the next program too).
struct SimState {
    KeyboardMemory memory;
    FaultPlan faults;

    friend bool operator==(const SimState&, const SimState&) = default;
};

struct StateFileError {
    std::string message;  // for the user: names the file and, for a bad file, the line
};

// Reads a plain file of at most 4 MiB; anything else is refused with a message. A missing file
// is an error here; LoadOrFactory gives factory memory for it instead.
[[nodiscard]] std::variant<SimState, StateFileError> LoadStateFile(
    const std::filesystem::path& path);
// The keyboard as the file left it, or fresh from the factory when there is no file yet. A file
// that exists but cannot be read or parsed is still an error.
[[nodiscard]] std::variant<SimState, StateFileError> LoadOrFactory(
    const std::filesystem::path& path);
// The parser behind LoadStateFile, on text already in memory (fuzz targets, tests); fileName
// only goes into the error messages.
[[nodiscard]] std::variant<SimState, StateFileError> ParseStateText(std::string_view text,
                                                                    const std::string& fileName);
// The text a save writes.
[[nodiscard]] std::string FormatStateText(const SimState& state);
// Written with the atomic save of every file of the tool (links followed, mode kept, a
// read-only file refused).
[[nodiscard]] std::variant<std::monostate, StateFileError> SaveStateFile(
    const std::filesystem::path& path, const SimState& state);

}  // namespace qv::sim
