#include "cli/cli_app.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "cli/apply_commands.h"
#include "cli/assign_command.h"
#include "cli/capture_command.h"
#include "cli/cli_keyboard.h"
#include "cli/dump_commands.h"
#include "cli/exit_codes.h"
#include "cli/file_commands.h"
#include "cli/info_command.h"
#include "cli/keys_commands.h"
#include "cli/lighting_commands.h"
#include "cli/macro_commands.h"
#include "cli/profile_commands.h"
#include "cli/settings_command.h"
#include "platform/ini_file.h"
#include "platform/program_folder.h"
#include "platform/xdg_paths.h"
#include "texts/mode_names.h"
#include "texts/text_lookup.h"
#include "texts/user_text.h"

namespace qv::cli {
namespace {

// The lookup file's section of texts.

constexpr const char* kDescription =
    "quorvanectl - configure the Quorvane gaming keyboard from the command line.\n"
    "Profiles are numbered 1 to 4. Every change goes to the keyboard through the same\n"
    "operations the desktop app uses.";

constexpr const char* kFooter =
    "\nExamples:\n"
    "  quorvanectl --keyboard=sim info                 try it on the simulated keyboard\n"
    "  quorvanectl lighting set --profile 1 --mode 3 --colour 00A0FF\n"
    "  quorvanectl macro add \"Copy all\" \"press LCtrl, tap A, 20ms, tap C, release LCtrl\"\n"
    "  quorvanectl assign \"Caps Lock\" macro:1 --repeat 2\n"
    "  quorvanectl assign G1 media:mute\n"
    "  quorvanectl apply                               write pending edits to the keyboard\n"
    "  quorvanectl export ~/Documents/games.fwc\n"
    "\nEdits (assign, macro add/delete) stay pending until `apply` unless --apply is given;\n"
    "they are applied only to the keyboard and profile they were made on.\n"
    "Exit codes: 0 done, 2 no keyboard, 3 keyboard error, 4 set-up problem, 5 bad input,\n"
    "6 pending edits stand in the way.";

}  // namespace

CliEnvironment CliEnvironment::FromSystem() {
    CliEnvironment env;
    env.documentsFolder = platform::DocumentsFolder();
    env.stateFolder = platform::StateFolder();
    env.programFolder = platform::ProgramFolder();
    return env;
}

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const CliEnvironment& env) {
    CLI::App app{kDescription, "quorvanectl"};
    app.require_subcommand(1);
    app.footer(kFooter);
    GlobalOptions options;
    app.add_option("--keyboard", options.keyboard,
                   "Which keyboard to talk to: 'real' (default, the attached keyboard), 'sim' "
                   "(the built-in simulated keyboard, kept between runs in the user's state "
                   "folder) or 'sim:PATH' (a simulated keyboard kept in the state file PATH)")
        ->type_name("KIND");
    app.add_flag("--json", options.json, "Print results and errors as JSON");
    app.add_flag("--trace", options.trace,
                 "Print every report sent (->) and received (<-) to stderr, in hex");
    app.add_flag("--yes", options.assumeYes,
                 "Answer yes to the keyboard's questions (such as starting the firmware updater)");

    Command selected;
    AddInfoCommand(app, selected);
    AddSettingsCommand(app, selected);
    AddLightingCommands(app, selected);
    AddProfileCommands(app, selected);
    AddDumpCommands(app, selected);
    AddCaptureCommand(app, selected);
    AddKeysCommands(app, selected);
    AddAssignCommand(app, selected);
    AddMacroCommands(app, selected);
    AddApplyCommands(app, selected);
    AddFileCommands(app, selected);

    // The parser takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err);
    }
    if (!selected.run) {
        return kExitBadInput;
    }

    // Key names and messages from the lookup file beside the program (or the English one built
    // in, where it has none), read once and each key looked for once: parsing a key name asks
    // for every key's name. The command line records no language.
    const std::filesystem::path lookupPath =
        env.programFolder / ui::LookupFileName(ui::kSupportedLanguages[0]);
    const platform::IniLoadResult loadedLookup = platform::IniFile::Load(lookupPath);
    if (const auto problem = platform::IniLoadProblem(lookupPath, loadedLookup.status)) {
        err << "quorvanectl: warning: " << *problem << "; the built-in English texts are used\n";
    }
    const platform::IniFile& lookupFile = loadedLookup.file;
    std::unordered_map<std::string, std::string> looked;
    std::mutex lookedMutex;
    CommandContext context{
        .out = out,
        .err = err,
        .options = options,
        .env = env,
        .lookup =
            [&](const std::string& key) {
                std::lock_guard lock(lookedMutex);
                auto found = looked.find(key);
                if (found == looked.end()) {
                    std::string text = lookupFile.GetString(ui::kLookupFileSection, key, "",
                                                            platform::kProfileReadMaxChars);
                    if (ui::IsNoUserText(text)) {
                        text = ui::BuiltInLookupText(key);
                    }
                    found =
                        looked.emplace(key, text.empty() ? std::string(ui::kLookupErrorText) : text)
                            .first;
                }
                return found->second;
            },
        .modeName = [&lookupFile](int mode) { return ui::ModeName(lookupFile, mode); }};
    if (selected.needs == Needs::NoKeyboard) {
        return selected.run(context);
    }
    auto opened = CliKeyboard::Open(context);
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const std::unique_ptr<CliKeyboard> keyboard =
        std::move(std::get<std::unique_ptr<CliKeyboard>>(opened));
    context.keyboard = keyboard.get();
    return selected.run(context);
}

}  // namespace qv::cli
