#include "cli/cli_output.h"

#include "cli/cli_keyboard.h"
#include "cli/exit_codes.h"

namespace qv::cli {

std::string EntryRefusalText(keys::EntryRefusal refusal, std::string_view keyName) {
    const std::string key(keyName);
    switch (refusal) {
        case keys::EntryRefusal::NoSuchKey:
            return key + " is no key of the keyboard";
        case keys::EntryRefusal::NotRemappable:
            return key +
                   " has no place in this keyboard's key pages: this keyboard cannot remap it";
        case keys::EntryRefusal::MacroOnlyKey:
            return key +
                   " plays macros only, as the ninth G key of its bank: use macro:ID (see "
                   "`quorvanectl macro list`), or default";
        case keys::EntryRefusal::TargetNotSendable:
            return "the keyboard cannot send what " + key + " was given";
        case keys::EntryRefusal::NoSuchMacro:
            return "no macro has that id (see `quorvanectl macro list`)";
    }
    return "the keyboard cannot hold this assignment";
}

namespace {

std::string ResultText(const service::OperationResult& result) {
    return "result " + std::to_string(result.commandResult);
}

}  // namespace

std::string OperationFailureText(const service::OperationResult& result) {
    using service::OperationStatus;
    switch (result.status) {
        case OperationStatus::Done:
        case OperationStatus::NothingToDo:
            return "done";
        case OperationStatus::NoKeyboard:
            return "the keyboard is gone";
        case OperationStatus::FirmwareTooOld:
            return "the keyboard's firmware is too old for this tool; update it first";
        case OperationStatus::KeyDefaultsUnread:
            return "the keyboard's key default table could not be read, and key pages are not "
                   "written without it";
        case OperationStatus::KeyboardUnread:
            return "the keyboard could not be read";
        case OperationStatus::ProfileUnknown:
            return "the keyboard's active profile could not be read";
        case OperationStatus::ProfileChanged:
            return "the pending changes belong to another profile than the keyboard's active one";
        case OperationStatus::MacroCapacityUnknown:
            return "the keyboard could not be read: its settings block, which says how much "
                   "macro memory it has, did not come through when it was opened; try again";
        case OperationStatus::MacrosTooLong:
            return "the macros do not fit the keyboard";
        case OperationStatus::NotWritten:
            if (result.activeProfile >= 0) {
                return "the keyboard did not take the switch (" + ResultText(result) +
                       "); profile " + std::to_string(result.activeProfile + 1) +
                       " is still active";
            }
            return "the keyboard did not take the write (" + ResultText(result) +
                   "); it holds what it held before";
        case OperationStatus::PartlyWritten:
            return "the write stopped half way (" + ResultText(result) + ")";
        case OperationStatus::EndNotConfirmed:
            return "the keyboard took every part of the write but did not confirm the end of the "
                   "transfer (" +
                   ResultText(result) + ")";
        case OperationStatus::OutcomeUnknown:
            return "the keyboard did not confirm the write (" + ResultText(result) +
                   "), and it could not be read back: what it holds now is not known";
        case OperationStatus::FileNotSaved:
            return result.fileProblem.empty() ? "a file could not be written"
                                              : "could not write " + result.fileProblem;
        case OperationStatus::FileRefused:
            return result.fileProblem.empty() ? "the file is not a sound profile file"
                                              : result.fileProblem;
        case OperationStatus::EntryRefused:
            return EntryRefusalText(result.refusal, "the key");
        case OperationStatus::LightingRefused:
            return result.lightingRefusal == lighting::LightingRefusal::NoPerKeyColours
                       ? "the keyboard has no per-key colours"
                       : "the keyboard cannot show that lighting mode";
    }
    return "unexpected failure";
}

int OperationExitCode(const service::OperationResult& result) {
    using service::OperationStatus;
    switch (result.status) {
        case OperationStatus::Done:
        case OperationStatus::NothingToDo:
            return kExitOk;
        case OperationStatus::NoKeyboard:
            return kExitNoKeyboard;
        case OperationStatus::MacrosTooLong:
        case OperationStatus::FileRefused:
        case OperationStatus::EntryRefused:
        case OperationStatus::LightingRefused:
            return kExitBadInput;
        case OperationStatus::FileNotSaved:
            return kExitSetupError;
        case OperationStatus::ProfileChanged:
            return kExitPendingConflict;
        default:
            return kExitDeviceError;
    }
}

int Fail(CommandContext& context, std::string_view message, int code) {
    if (context.options.json) {
        context.out << nlohmann::json{{"ok", false}, {"error", message}}.dump(2) << "\n";
    } else {
        context.err << "quorvanectl: " << message << "\n";
    }
    return code;
}

int Succeed(CommandContext& context, std::string_view message, nlohmann::json details) {
    if (context.options.json) {
        nlohmann::json json{{"ok", true}, {"message", message}};
        json.update(details);
        context.out << json.dump(2) << "\n";
    } else {
        context.out << message << "\n";
    }
    return kExitOk;
}

void Note(CommandContext& context, std::string_view message) {
    context.err << "quorvanectl: " << message << "\n";
}

void Print(CommandContext& context, std::string_view text, const nlohmann::json& json) {
    if (context.options.json) {
        context.out << json.dump(2) << "\n";
    } else {
        context.out << text;
    }
}

std::string KeptStateCause(CommandContext& context) {
    if (context.keyboard == nullptr) {
        return {};
    }
    const auto failure = context.keyboard->Save();
    return failure ? "; the simulated keyboard could not use its state file (" + *failure + ")"
                   : std::string();
}

int FailOperation(CommandContext& context, const service::OperationResult& result,
                  std::string_view what, std::string_view after) {
    return Fail(context,
                "could not " + std::string(what) + ": " + OperationFailureText(result) +
                    KeptStateCause(context) + std::string(after),
                OperationExitCode(result));
}

void WarnProblems(CommandContext& context, const service::OperationResult& result) {
    for (const std::string& problem : result.problems) {
        Note(context, "warning: " + problem);
    }
}

}  // namespace qv::cli
