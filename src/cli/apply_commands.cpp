#include "cli/apply_commands.h"

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/working_image.h"

namespace qv::cli {
namespace {

int RunApply(CommandContext& context) {
    if (!PendingEditsOf(context.env).Exist()) {
        return Succeed(context, "Nothing to apply.", {{"pending", false}});
    }
    const auto opened = OpenWorkingImage(context, ImageUse::Edit, "apply");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const WorkingImage& image = std::get<WorkingImage>(opened);
    const int profile = image.profile + 1;
    return ApplyWorkingImage(
        context, image, true,
        "Applied the pending edits to profile " + std::to_string(profile) + ".",
        {{"profile", profile}});
}

int RunDiscard(CommandContext& context) {
    const service::PendingEdits pending = PendingEditsOf(context.env);
    if (!pending.Exist()) {
        return Succeed(context, "Nothing pending.", {{"pending", false}});
    }
    if (!pending.Remove()) {
        return Fail(context, "could not remove " + pending.ImageFile().string(), kExitSetupError);
    }
    return Succeed(context, "Pending edits dropped.", {{"pending", false}});
}

}  // namespace

void AddApplyCommands(CLI::App& app, Command& selected) {
    auto* apply = app.add_subcommand(
        "apply",
        "Write the pending edits to the keyboard (the macro area and the active profile's key "
        "page); only to the keyboard and profile they were made on");
    apply->footer(
        "\nExamples:\n"
        "  quorvanectl assign caps disabled && quorvanectl apply\n"
        "  quorvanectl --keyboard=sim apply");
    Select(apply, selected, {Needs::Keyboard, RunApply});

    auto* discard = app.add_subcommand("discard", "Drop the pending edits");
    discard->footer(
        "\nExamples:\n"
        "  quorvanectl discard");
    Select(discard, selected, {Needs::NoKeyboard, RunDiscard});
}

}  // namespace qv::cli
