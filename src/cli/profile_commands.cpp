#include "cli/profile_commands.h"

#include <memory>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/working_image.h"

namespace qv::cli {
namespace {

int RunShow(CommandContext& context) {
    const int active =
        context.keyboard->Call([](service::KeyboardSession& s) { return s.ActiveProfile(); });
    if (active < 0) {
        return Fail(context, "could not read the active profile: the keyboard did not answer",
                    kExitDeviceError);
    }
    Print(context, "Active profile: " + std::to_string(active + 1) + "\n",
          {{"activeProfile", active + 1}});
    return kExitOk;
}

int RunSet(CommandContext& context, int profile) {
    CliKeyboard& keyboard = *context.keyboard;
    const service::OperationResult result = keyboard.Call(
        [profile](service::KeyboardSession& s) { return s.SetActiveProfile(profile - 1); });
    if (!result.Succeeded()) {
        return FailOperation(context, result, "switch the active profile");
    }
    if (const auto failure = keyboard.Save()) {
        return Fail(context, "the keyboard's state could not be kept: " + *failure,
                    kExitSetupError);
    }
    // Pending edits stay with the profile they were made for.
    const service::PendingEdits pending = PendingEditsOf(context.env);
    const service::PendingState state = pending.Check({keyboard.Identity(), profile - 1});
    if (state == service::PendingState::Matching) {
        Note(context,
             "the pending edits were made for this profile: `quorvanectl apply` writes "
             "them to the keyboard");
    } else if (state != service::PendingState::None) {
        Note(context, PendingConflictText(state, pending, profile - 1));
    }
    return Succeed(context, "Profile " + std::to_string(profile) + " is now the active profile.",
                   {{"activeProfile", profile}});
}

}  // namespace

void AddProfileCommands(CLI::App& app, Command& selected) {
    auto newProfile = std::make_shared<int>(0);
    auto* profile = app.add_subcommand("profile", "Show or switch the keyboard's active profile");
    profile->require_subcommand(1);
    profile->footer(
        "\nExamples:\n"
        "  quorvanectl profile show\n"
        "  quorvanectl profile set 2");
    auto* show = profile->add_subcommand("show", "Show the active profile");
    show->footer(
        "\nExamples:\n"
        "  quorvanectl profile show\n"
        "  quorvanectl --json profile show");
    Select(show, selected, {Needs::Keyboard, RunShow});

    auto* set = profile->add_subcommand("set", "Make a profile the keyboard's active one");
    set->add_option("profile", *newProfile, "Profile 1..4")->required()->check(CLI::Range(1, 4));
    set->footer(
        "\nPending edits stay with the profile they were made for: switch back to apply them.\n"
        "\nExamples:\n"
        "  quorvanectl profile set 2");
    Select(set, selected, {Needs::Keyboard, [newProfile](CommandContext& context) {
                               return RunSet(context, *newProfile);
                           }});
}

}  // namespace qv::cli
