#include "cli/keys_commands.h"

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/listing.h"
#include "cli/working_image.h"
#include "keys/key_name_parser.h"
#include "keys/name_suggestions.h"

namespace qv::cli {
namespace {

int RunList(CommandContext& context) {
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (const auto& key : keys::NamedKeys(context.lookup)) {
        json.push_back({{"name", key.name}, {"short", key.shortName}, {"code", key.code}});
        char line[96];
        std::snprintf(line, sizeof line, "%-24s %-18s 0x%03X\n", key.name.c_str(),
                      key.shortName.c_str(), static_cast<unsigned>(key.code));
        text += line;
    }
    Print(context, text, json);
    return kExitOk;
}

int RunShow(CommandContext& context, int profileOption) {
    const auto opened = OpenWorkingImage(context, ImageUse::Show, "show the keys");
    if (const int* status = std::get_if<int>(&opened)) {
        return *status;
    }
    const WorkingImage& working = std::get<WorkingImage>(opened);
    const int profile = profileOption != 0 ? profileOption - 1 : working.profile;
    const service::SnapshotPtr snapshot = context.keyboard->Service().Snapshot();
    const profiles::ImageContents* image = &snapshot->image;
    const keys::KeyBlock& block = image->blocks[static_cast<std::size_t>(profile)];
    Print(context,
          "Profile " + std::to_string(profile + 1) +
              (working.pendingIncluded ? " (with pending edits)" : "") + "\n" +
              AssignmentsText(block, image->macros, context.lookup),
          {{"profile", profile + 1},
           {"pendingIncluded", working.pendingIncluded},
           {"assignments", AssignmentsJson(block, image->macros, context.lookup)}});
    return kExitOk;
}

}  // namespace

std::string UnknownKeyMessage(std::string_view text, const keys::TextLookupFn& lookup) {
    return "unknown key \"" + std::string(text) + "\"" +
           keys::DidYouMean(keys::SuggestKeyNames(text, lookup)) + " (see `quorvanectl keys list`)";
}

void AddKeysCommands(CLI::App& app, Command& selected) {
    auto profile = std::make_shared<int>(0);
    auto* keysCmd = app.add_subcommand("keys", "Key names and the key assignments of a profile");
    keysCmd->require_subcommand(1);
    keysCmd->footer(
        "\nExamples:\n"
        "  quorvanectl keys list\n"
        "  quorvanectl keys show --profile 2");
    auto* list = keysCmd->add_subcommand("list", "Every key name the other commands accept");
    list->footer(
        "\nExamples:\n"
        "  quorvanectl keys list\n"
        "  quorvanectl keys list | grep -i num");
    Select(list, selected, {Needs::NoKeyboard, RunList});

    auto* show = keysCmd->add_subcommand(
        "show",
        "The key assignments of a profile (the active one unless --profile is given), pending "
        "edits included");
    show->add_option("--profile", *profile, "Profile 1..4")->check(CLI::Range(1, 4));
    show->footer(
        "\nExamples:\n"
        "  quorvanectl keys show\n"
        "  quorvanectl --json keys show --profile 3");
    Select(show, selected, {Needs::Keyboard, [profile](CommandContext& context) {
                                return RunShow(context, *profile);
                            }});
}

}  // namespace qv::cli
