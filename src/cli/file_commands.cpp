#include "cli/file_commands.h"

#include <memory>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/working_image.h"
#include "profiles/profile_file.h"

namespace qv::cli {
namespace {

struct FileOptions {
    std::string file;
    bool dropPending = false;
};

int RunValidate(CommandContext& context, const std::string& file) {
    const profiles::ProfileFileCheckResult result = profiles::CheckProfileFile(file);
    const bool valid = result.check == profiles::ProfileFileCheck::Valid;
    const std::string why = valid ? "a sound profile file"
                            : result.check == profiles::ProfileFileCheck::CannotOpen
                                ? "cannot be opened for reading and writing: " +
                                      result.openProblem.value_or("unknown reason")
                            : result.formatProblem ? *result.formatProblem
                                                   : "missing, too small or too large";
    if (!valid) {
        return Fail(context, file + ": " + why, kExitBadInput);
    }
    // The same warnings an import of the file gives: it is taken, less what they list.
    for (const std::string& warning : result.warnings) {
        Note(context, "warning: " + warning);
    }
    const std::string verdict =
        result.warnings.empty() ? why
                                : "a profile file; an import takes it less what the warnings list";
    return Succeed(context, file + ": " + verdict,
                   {{"file", file}, {"valid", true}, {"warnings", result.warnings}});
}

int RunImport(CommandContext& context, const FileOptions& o) {
    const service::PendingEdits pending = PendingEditsOf(context.env);
    const bool hadPending = pending.Exist();
    if (hadPending && !o.dropPending) {
        return Fail(context,
                    "cannot import: there are pending edits, which the import would replace; "
                    "`quorvanectl apply` or `quorvanectl discard` them first, or import with "
                    "--drop-pending",
                    kExitPendingConflict);
    }
    CliKeyboard& keyboard = *context.keyboard;
    const service::OperationResult result =
        keyboard.Call([&](service::KeyboardSession& s) { return s.Import(o.file); });
    WarnProblems(context, result);
    if (!result.Succeeded()) {
        // A file refused names itself.
        return FailOperation(
            context, result,
            result.status == service::OperationStatus::FileRefused && !result.fileProblem.empty()
                ? "import"
                : "import " + o.file);
    }
    if (const auto failure = keyboard.Save()) {
        return Fail(context, "the keyboard's state could not be kept: " + *failure,
                    kExitSetupError);
    }
    std::string done = "Imported " + o.file + " into all four profiles.";
    if (hadPending) {
        if (!pending.Remove()) {
            return Fail(context,
                        "imported, but " + pending.ImageFile().string() +
                            " could not be removed; `quorvanectl discard` drops it",
                        kExitSetupError);
        }
        done += " The pending edits were dropped.";
    }
    return Succeed(context, done, {{"file", o.file}, {"pendingDropped", hadPending}});
}

int RunExport(CommandContext& context, const std::string& file) {
    const auto opened = OpenWorkingImage(context, ImageUse::Edit, "export");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const bool withPending = std::get<WorkingImage>(opened).pendingIncluded;
    const service::OperationResult result =
        context.keyboard->Call([&](service::KeyboardSession& s) { return s.Export(file); });
    if (!result.Succeeded()) {
        // A file that could not be written names itself.
        return FailOperation(context, result,
                             result.fileProblem.empty() ? "export to " + file : "export");
    }
    return Succeed(context,
                   "Exported the key configuration" +
                       std::string(withPending ? ", pending edits included," : "") + " to " + file +
                       ".",
                   {{"file", file}, {"pendingIncluded", withPending}});
}

}  // namespace

void AddFileCommands(CLI::App& app, Command& selected) {
    auto o = std::make_shared<FileOptions>();
    auto* validate = app.add_subcommand("validate", "Check that a file is a sound profile file");
    validate->add_option("file", o->file, "A .fwc file")->required();
    validate->footer(
        "\nExamples:\n"
        "  quorvanectl validate games.fwc\n"
        "  quorvanectl --json validate games.fwc");
    Select(validate, selected, {Needs::NoKeyboard, [o](CommandContext& context) {
                                    return RunValidate(context, o->file);
                                }});

    auto* import = app.add_subcommand(
        "import", "Make a profile file the keyboard's configuration (all four profiles)");
    import->add_option("file", o->file, "A .fwc file")->required();
    import->add_flag("--drop-pending", o->dropPending,
                     "Import even when edits are pending; they are dropped once the import is "
                     "done");
    import->footer(
        "\nExamples:\n"
        "  quorvanectl import games.fwc\n"
        "  quorvanectl import games.fwc --drop-pending");
    Select(import, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunImport(context, *o); }});

    auto* exportCmd = app.add_subcommand(
        "export", "Write the key configuration (pending edits included) to a profile file");
    exportCmd->add_option("file", o->file, "The file to write, e.g. games.fwc")->required();
    exportCmd->footer(
        "\nExamples:\n"
        "  quorvanectl export ~/Documents/games.fwc");
    Select(exportCmd, selected,
           {Needs::Keyboard, [o](CommandContext& context) { return RunExport(context, o->file); }});
}

}  // namespace qv::cli
