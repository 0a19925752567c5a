#include "cli/working_image.h"

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"

namespace qv::cli {
namespace {

constexpr std::string_view kDiscardHint = "drop them with `quorvanectl discard`";

// The --keyboard choice that opens the keyboard a record names.
std::string KeyboardOption(const std::string& identity) {
    return identity.rfind("sim:", 0) == 0 ? "--keyboard=" + identity : "--keyboard=real";
}

}  // namespace

std::string PendingConflictText(service::PendingState state, const service::PendingEdits& pending,
                                int activeProfile) {
    const auto origin = pending.Origin();
    switch (state) {
        case service::PendingState::OtherKeyboard:
            return "the pending edits were made on another keyboard (" + origin->keyboard +
                   "); apply them there with `quorvanectl " + KeyboardOption(origin->keyboard) +
                   " apply`, or " + std::string(kDiscardHint);
        case service::PendingState::OtherProfile:
            return "the pending edits were made for profile " +
                   std::to_string(origin->profile + 1) + ", but profile " +
                   std::to_string(activeProfile + 1) + " is active now; switch back with " +
                   "`quorvanectl profile set " + std::to_string(origin->profile + 1) +
                   "` and apply them, or " + std::string(kDiscardHint);
        case service::PendingState::OriginUnknown:
            return "there are pending edits in " + pending.ImageFile().string() +
                   " without a record of the keyboard they were made on; " +
                   std::string(kDiscardHint);
        case service::PendingState::None:
        case service::PendingState::Matching:
            break;
    }
    return {};
}

std::variant<WorkingImage, int> OpenWorkingImage(CommandContext& context, ImageUse use,
                                                 std::string_view verb) {
    CliKeyboard& keyboard = *context.keyboard;
    const std::string cannot = "cannot " + std::string(verb) + ": ";
    if (use == ImageUse::Edit) {
        const service::OperationResult writable =
            keyboard.Call([](service::KeyboardSession& s) { return s.CheckWritable(); });
        if (!writable.Succeeded()) {
            return FailOperation(context, writable, verb);
        }
    }
    WorkingImage image;
    image.profile = keyboard.Call([](service::KeyboardSession& s) { return s.ActiveProfile(); });
    if (image.profile < 0) {
        return Fail(context, cannot + "the keyboard's active profile could not be read",
                    kExitDeviceError);
    }
    const service::PendingEdits pending = PendingEditsOf(context.env);
    const service::PendingState state = pending.Check({keyboard.Identity(), image.profile});
    if (state != service::PendingState::None && state != service::PendingState::Matching) {
        if (use == ImageUse::Edit) {
            return Fail(context, cannot + PendingConflictText(state, pending, image.profile),
                        kExitPendingConflict);
        }
        Note(context, "not shown: " + PendingConflictText(state, pending, image.profile));
    }
    if (state == service::PendingState::Matching) {
        profiles::ImageContents contents;
        if (const profiles::LoadResult load = pending.Load(contents); !load.Loaded()) {
            const std::string why = load.problems.empty() ? "" : " (" + load.problems[0] + ")";
            return Fail(context,
                        cannot + "the pending edits in " + pending.ImageFile().string() +
                            " cannot be read" + why + "; " + std::string(kDiscardHint),
                        kExitSetupError);
        }
        const service::OperationResult taken = keyboard.Call(
            [&](service::KeyboardSession& s) { return s.TakePendingEdits(std::move(contents)); });
        if (!taken.Succeeded()) {
            return FailOperation(context, taken, verb);
        }
        image.pendingIncluded = true;
        return image;
    }
    if (!keyboard.Service().Snapshot()->imageFromKeyboard) {
        return Fail(context,
                    cannot +
                        "the keyboard's key pages and macros could not be read, so there "
                        "is nothing sound to work on",
                    kExitDeviceError);
    }
    return image;
}

std::optional<WorkingMacros> PeekWorkingMacros(CommandContext& context) {
    CliKeyboard& keyboard = *context.keyboard;
    const int profile =
        keyboard.Call([](service::KeyboardSession& s) { return s.ActiveProfile(); });
    const service::PendingEdits pending = PendingEditsOf(context.env);
    if (profile >= 0 &&
        pending.Check({keyboard.Identity(), profile}) == service::PendingState::Matching) {
        profiles::ImageContents contents;
        if (pending.Load(contents).Loaded()) {
            return WorkingMacros{std::move(contents.macros), true};
        }
    }
    const service::SnapshotPtr snapshot = keyboard.Service().Snapshot();
    if (!snapshot->imageFromKeyboard) {
        return std::nullopt;
    }
    return WorkingMacros{snapshot->image.macros, false};
}

namespace {

// Keeps the working image as pending edits of this keyboard and profile.
platform::AtomicWriteResult KeepPending(CommandContext& context, const WorkingImage& image) {
    CliKeyboard& keyboard = *context.keyboard;
    const service::SnapshotPtr snapshot = keyboard.Service().Snapshot();
    return PendingEditsOf(context.env).Save(snapshot->image, {keyboard.Identity(), image.profile});
}

// A failure after which the edits stay pending.
int FailPending(CommandContext& context, const WorkingImage& image, bool kept, int code,
                const std::string& message) {
    if (!kept) {
        if (const platform::AtomicWriteResult saved = KeepPending(context, image); !saved.Ok()) {
            return Fail(context,
                        message + "; the edits could not be kept either (" + saved.Message() + ")",
                        kExitSetupError);
        }
    }
    return Fail(context, message + "; the edits stay pending", code);
}

}  // namespace

int FinishEdit(CommandContext& context, const WorkingImage& image, bool applyNow,
               const std::string& done, nlohmann::json details) {
    if (applyNow) {
        return ApplyWorkingImage(context, image, false, done + "\nWritten to the keyboard.",
                                 std::move(details));
    }
    if (const platform::AtomicWriteResult saved = KeepPending(context, image); !saved.Ok()) {
        return Fail(context, "could not keep the edit: could not write " + saved.Message(),
                    kExitSetupError);
    }
    details["pending"] = true;
    return Succeed(context, done + "\nPending; `quorvanectl apply` writes it to the keyboard.",
                   std::move(details));
}

int ApplyWorkingImage(CommandContext& context, const WorkingImage& image, bool kept,
                      const std::string& done, nlohmann::json details) {
    CliKeyboard& keyboard = *context.keyboard;
    const service::OperationResult result =
        keyboard.Call([](service::KeyboardSession& s) { return s.Apply(); });
    WarnProblems(context, result);
    if (!result.Succeeded()) {
        // The keyboard's state is kept as each change is made; a change it could not keep is
        // the cause of the failure.
        const std::string said =
            result.status == service::OperationStatus::FileNotSaved
                ? "the keyboard took the edits, but " + OperationFailureText(result)
                : "could not write to the keyboard: " + OperationFailureText(result);
        return FailPending(context, image, kept, OperationExitCode(result),
                           said + KeptStateCause(context));
    }
    if (const auto failure = keyboard.Save()) {
        return FailPending(
            context, image, kept, kExitSetupError,
            "the keyboard took the edits, but its state could not be kept (" + *failure + ")");
    }
    const service::PendingEdits pending = PendingEditsOf(context.env);
    if (!pending.Remove()) {
        return Fail(context,
                    "the keyboard took the edits, but " + pending.ImageFile().string() +
                        " could not be removed; `quorvanectl discard` drops it",
                    kExitSetupError);
    }
    details["pending"] = false;
    return Succeed(context, done, std::move(details));
}

}  // namespace qv::cli
