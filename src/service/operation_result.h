#pragma once

// What every operation of the keyboard service returns: done, or why not. Front ends turn it
// into words and exit codes; nothing here is text for the user.

#include <cstdint>
#include <string>
#include <vector>

#include "assignments/entry_rules.h"
#include "device/command_result.h"
#include "lighting/lighting_change.h"

namespace qv::service {

enum class OperationStatus : std::uint8_t {
    Done,
    NothingToDo,        // e.g. Apply with no pending changes
    NoKeyboard,         // no keyboard is attached
    FirmwareTooOld,     // the keyboard cannot be used with this tool
    KeyDefaultsUnread,  // a key page would be written without the keyboard's key default table
    KeyboardUnread,     // the keyboard could not be read, so there is nothing sound to build on
    ProfileUnknown,     // the keyboard's active profile could not be read
    ProfileChanged,     // the pending changes were made for another profile than the active one
    // The settings block could not be read at arrival, so how much macro memory the keyboard
    // has is not known, and nothing that holds the macro area is written.
    MacroCapacityUnknown,
    MacrosTooLong,  // the macros do not fit the keyboard even without names
    NotWritten,     // the keyboard refused the write before anything changed
    PartlyWritten,  // a write stopped half way: write again to repair
    // Every part of the write was taken, only the end of the transfer was not confirmed: the
    // keyboard holds the new content; writing again makes sure it keeps it.
    EndNotConfirmed,
    // The keyboard did not confirm the write and could not be read back: what it holds is not
    // known.
    OutcomeUnknown,
    FileNotSaved,  // a file could not be written; `fileProblem` says which and why
    FileRefused,   // a file to read is missing, unreadable or of the wrong format
    // An edit the keyboard cannot hold; `refusal` says why.
    EntryRefused,
    // A lighting change the keyboard cannot take; `lightingRefusal` says why.
    LightingRefused,
};

struct OperationResult {
    OperationResult() = default;
    // A plain status converts, so that `return OperationStatus::NoKeyboard;` reads as it means.
    OperationResult(OperationStatus s) : status(s) {}  // NOLINT(google-explicit-constructor)

    OperationStatus status = OperationStatus::Done;
    // The failing command's result, where a keyboard command failed.
    int commandResult = device::kSuccess;
    // What a read or a load cut or left out, one line each.
    std::vector<std::string> problems;
    // Why an edit was refused (EntryRefused).
    keys::EntryRefusal refusal = keys::EntryRefusal::NoSuchKey;
    // Why a lighting change was refused (LightingRefused).
    lighting::LightingRefusal lightingRefusal = lighting::LightingRefusal::NoSuchMode;
    // The file and the reason, as "PATH: Permission denied" (FileNotSaved, FileRefused).
    std::string fileProblem;
    // A profile switch the keyboard did not take (NotWritten): the profile it was found running
    // when read back (0..3).
    int activeProfile = -1;

    [[nodiscard]] bool Succeeded() const {
        return status == OperationStatus::Done || status == OperationStatus::NothingToDo;
    }
};

}  // namespace qv::service
