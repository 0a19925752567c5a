#pragma once

// A simulated keyboard's memory kept in its state file while several programs use it: the desktop
// app and the command line may run on one state file at the same time without either losing
// the other's changes.
//
// - Before serving a report the keyboard catches up with the file when it changed on disk
//   (another program wrote it, or a user edited it).
// - A change is made under an exclusive lock on PATH.lock (beside a link's target when PATH is a
//   link): the file is caught up with first, the change is applied on top, and the result is
//   written at once with the atomic save every file of the tool uses.
// - A run that only reads never writes the file.
//
// Used under its keyboard's lock; it has no lock of its own.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "sim/fault_plan.h"
#include "sim/memory_store.h"
#include "sim/sim_state_file.h"
#include "sim/state_file_io.h"

namespace qv::sim {

class StateFileStore final : public MemoryStore {
public:
    struct Opened {
        std::unique_ptr<StateFileStore> store;
        SimState state;  // the file as it was opened
    };

    // Reads the state file; a missing one stands for a keyboard fresh from the factory, and is
    // written with the first change. A path that names a folder, device, pipe or socket, a file
    // over 4 MiB and a malformed file are refused with a message.
    [[nodiscard]] static std::variant<Opened, StateFileError> Open(
        const std::filesystem::path& path);

    [[nodiscard]] bool Refresh(KeyboardMemory& memory) override;
    [[nodiscard]] bool Modify(KeyboardMemory& memory,
                              const std::function<void(KeyboardMemory&)>& change) override;
    [[nodiscard]] std::optional<std::string> FirstFailure() const override { return failure_; }

    [[nodiscard]] static std::filesystem::path LockPathFor(const std::filesystem::path& path);

private:
    explicit StateFileStore(std::filesystem::path path) : path_(std::move(path)) {}

    // Takes the file's contents into `memory` when the file is not the version known.
    [[nodiscard]] bool CatchUp(KeyboardMemory& memory);
    // Takes a version just read or written as the one known.
    void Know(FileContents contents);
    [[nodiscard]] bool Keep(const KeyboardMemory& memory);
    void Record(const std::string& message);

    std::filesystem::path path_;
    FileHandle lockFile_;  // opened with the first change
    // The version last read or written, held open; none when the file was found missing.
    std::optional<FileStamp> known_;
    FileHandle knownFile_;
    // The file's [faults] section as last read: a save writes it back unchanged.
    FaultPlan faults_;
    std::optional<std::string> failure_;
};

}  // namespace qv::sim
