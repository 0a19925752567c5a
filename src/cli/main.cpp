// quorvanectl: the keyboard's settings from the command line, through the same core as the
// desktop app.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "cli/dump_commands.h"
#include "cli/edit_commands.h"
#include "cli/exit_codes.h"
#include "cli/info_command.h"
#include "cli/keyboard_session.h"
#include "cli/lighting_commands.h"

namespace {

using namespace qv::cli;

int RunInfo(KeyboardSession& session, const GlobalOptions& options) {
    auto info = ReadKeyboardInfo(session.commands());
    if (const int* failure = std::get_if<int>(&info)) {
        std::fprintf(stderr, "quorvanectl: the keyboard did not answer (result %d)\n", *failure);
        return kExitDeviceError;
    }
    const auto& value = std::get<KeyboardInfo>(info);
    std::cout << (options.json ? FormatInfoJson(value) : FormatInfoText(value));
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "quorvanectl - configure the Quorvane gaming keyboard from the command line.\n"
        "Profiles are numbered 1 to 4. Every change goes to the keyboard through the same\n"
        "operations the desktop app uses."};
    app.require_subcommand(1);
    app.footer(
        "\nExamples:\n"
        "  quorvanectl --keyboard=sim info                 try it on the simulated keyboard\n"
        "  quorvanectl lighting set --profile 1 --mode 3 --colour 00A0FF\n"
        "  quorvanectl macro add \"Copy all\" \"press LCtrl, tap A, 20ms, tap C, release LCtrl\"\n"
        "  quorvanectl assign \"Caps Lock\" macro:1 --repeat 2\n"
        "  quorvanectl assign G1 media:mute\n"
        "  quorvanectl apply                               write pending edits to the keyboard\n"
        "  quorvanectl export ~/Documents/games.fwc\n"
        "\nEdits (assign, macro add/delete) stay pending until `apply` unless --apply is given.\n"
        "Exit codes: 0 done, 2 no keyboard, 3 keyboard error, 4 set-up problem, 5 bad input.");
    GlobalOptions options;
    app.add_option("--keyboard", options.keyboard,
                   "Which keyboard to talk to: 'real' (default, the attached keyboard), 'sim' "
                   "(the built-in simulated keyboard, kept between runs in the user's state "
                   "folder) or 'sim:PATH' (a simulated keyboard kept in the state file PATH)")
        ->type_name("KIND");
    app.add_flag("--json", options.json, "Print results as JSON");
    app.add_flag("--trace", options.trace,
                 "Print every report sent (->) and received (<-) to stderr, in hex");
    app.add_flag("--yes", options.assumeYes,
                 "Answer yes to the keyboard's questions (such as starting the firmware updater)");

    CommandRunner selected;
    OfflineRunner offline;
    app.add_subcommand("info",
                       "Show the firmware version, active profile, macro capacity and lighting "
                       "modes")
        ->callback([&selected] { selected = RunInfo; });
    AddLightingCommands(app, selected);
    AddDumpCommands(app, selected);
    AddEditCommands(app, selected, offline);

    CLI11_PARSE(app, argc, argv);
    if (offline) {
        return offline(options);
    }

    const auto choice = ParseKeyboardChoice(options.keyboard);
    if (!choice) {
        std::fprintf(stderr, "quorvanectl: unknown keyboard '%s' (use real, sim or sim:PATH)\n",
                     options.keyboard.c_str());
        return kExitBadInput;
    }
    auto opened =
        KeyboardSession::Open(*choice, {.trace = options.trace, .assumeYes = options.assumeYes});
    if (auto* error = std::get_if<SessionError>(&opened)) {
        std::fprintf(stderr, "quorvanectl: %s\n", error->message.c_str());
        return kExitSetupError;
    }
    auto& session = *std::get<std::unique_ptr<KeyboardSession>>(opened);
    if (!session.IsKeyboardPresent()) {
        std::fprintf(stderr,
                     "quorvanectl: no keyboard found (USB 0C45:5004). Check that it is plugged "
                     "in and that you may access it (see the README).\n");
        return kExitNoKeyboard;
    }

    const int status = selected ? selected(session, options) : kExitOk;
    if (auto error = session.Close()) {
        std::fprintf(stderr, "quorvanectl: %s\n", error->message.c_str());
        return status == kExitOk ? kExitSetupError : status;
    }
    return status;
}
