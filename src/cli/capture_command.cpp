#include "cli/capture_command.h"

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"

namespace qv::cli {
namespace {

int RunCapture(CommandContext& context) {
    CliKeyboard& keyboard = *context.keyboard;
    const auto [result, file] = keyboard.Call([](service::KeyboardSession& s) {
        service::OperationResult captured = s.Capture();
        return std::make_pair(std::move(captured), s.CurrentProfileFile());
    });
    WarnProblems(context, result);
    if (!result.Succeeded()) {
        return FailOperation(context, result, "capture the keyboard",
                             "; " + file.string() + " was left as it was");
    }
    return Succeed(context, "Captured the keyboard into " + file.string(),
                   {{"file", file.string()}});
}

}  // namespace

void AddCaptureCommand(CLI::App& app, Command& selected) {
    auto* capture = app.add_subcommand(
        "capture",
        "Read the keyboard's key pages and macros into the current profile file (what the app "
        "does whenever the keyboard arrives)");
    capture->footer(
        "\nExamples:\n"
        "  quorvanectl capture\n"
        "  quorvanectl --keyboard=sim capture");
    Select(capture, selected, {Needs::Keyboard, RunCapture});
}

}  // namespace qv::cli
