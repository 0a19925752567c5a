#include "sim/state_file_store.h"

#include <utility>

namespace qv::sim {

std::filesystem::path StateFileStore::LockPathFor(const std::filesystem::path& path) {
    // Beside the file that is written: programs that reach one state file by different names
    // (a link and its target) must still take the same lock.
    std::filesystem::path lock = FinalTarget(path);
    lock += ".lock";
    return lock;
}

std::variant<StateFileStore::Opened, StateFileError> StateFileStore::Open(
    const std::filesystem::path& path) {
    // Refused before anything is created beside it.
    if (auto problem = NotAPlainFileProblem(path)) {
        return StateFileError{problem->message};
    }
    std::unique_ptr<StateFileStore> store(new StateFileStore(path));
    // Writers replace the file whole, so a read needs no lock. A keyboard that is only read
    // creates nothing: the file (and its lock file) come with the first change.
    auto read = ReadPlainFile(path);
    if (auto* problem = std::get_if<FileProblem>(&read)) {
        if (!problem->missing) {
            return StateFileError{problem->message};
        }
        return Opened{std::move(store), SimState{.memory = FactoryMemory(), .faults = {}}};
    }
    auto parsed = ParseStateText(std::get<FileContents>(read).text, path.string());
    if (auto* error = std::get_if<StateFileError>(&parsed)) {
        return *error;
    }
    SimState state = std::get<SimState>(std::move(parsed));
    store->faults_ = state.faults;
    store->Know(std::get<FileContents>(std::move(read)));
    return Opened{std::move(store), std::move(state)};
}

bool StateFileStore::Refresh(KeyboardMemory& memory) {
    return CatchUp(memory);
}

bool StateFileStore::Modify(KeyboardMemory& memory,
                            const std::function<void(KeyboardMemory&)>& change) {
    if (!lockFile_.IsOpen()) {
        auto lockFile = OpenLockFile(LockPathFor(path_));
        if (auto* problem = std::get_if<FileProblem>(&lockFile)) {
            Record(problem->message);
            return false;
        }
        lockFile_ = std::move(std::get<FileHandle>(lockFile));
    }
    const ExclusiveLock lock(lockFile_);
    if (!lock.Held()) {
        Record(path_.string() + ": cannot lock " + LockPathFor(path_).string());
        return false;
    }
    // Another program's change to any area is taken in first, so this one lands on top of it.
    if (!CatchUp(memory)) {
        return false;
    }
    KeyboardMemory before = memory;
    change(memory);
    if (memory == before) {
        return true;
    }
    if (!Keep(memory)) {
        memory = std::move(before);
        return false;
    }
    return true;
}

bool StateFileStore::CatchUp(KeyboardMemory& memory) {
    const auto now = StampOf(path_);
    if (const auto* stamp = std::get_if<FileStamp>(&now); stamp != nullptr && known_ == *stamp) {
        return true;
    }
    auto read = ReadPlainFile(path_);
    if (auto* problem = std::get_if<FileProblem>(&read)) {
        if (!problem->missing) {
            Record(problem->message);
            return false;
        }
        // Removed since: the keyboard starts again from the factory, as on a first run.
        if (known_) {
            memory = FactoryMemory();
            faults_.clear();
            known_.reset();
            knownFile_ = FileHandle();
        }
        return true;
    }
    auto parsed = ParseStateText(std::get<FileContents>(read).text, path_.string());
    if (auto* error = std::get_if<StateFileError>(&parsed)) {
        Record(error->message);
        return false;
    }
    SimState state = std::get<SimState>(std::move(parsed));
    memory = std::move(state.memory);
    faults_ = std::move(state.faults);
    Know(std::get<FileContents>(std::move(read)));
    return true;
}

void StateFileStore::Know(FileContents contents) {
    known_ = contents.stamp;
    knownFile_ = std::move(contents.handle);
}

bool StateFileStore::Keep(const KeyboardMemory& memory) {
    auto written =
        ReplaceFile(path_, FormatStateText(SimState{.memory = memory, .faults = faults_}));
    if (auto* problem = std::get_if<FileProblem>(&written)) {
        Record(problem->message);
        return false;
    }
    Know(std::get<FileContents>(std::move(written)));
    return true;
}

void StateFileStore::Record(const std::string& message) {
    if (!failure_) {
        failure_ = message;
    }
}

}  // namespace qv::sim
