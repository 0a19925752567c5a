#include "cli/dump_commands.h"

#include <memory>
#include <nlohmann/json.hpp>

#include "assignments/assignment_description.h"
#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/listing.h"
#include "core/hex.h"
#include "core/utf16.h"
#include "device/command_result.h"
#include "driver/macro_area_reader.h"
#include "keys/key_code.h"
#include "keys/key_page.h"
#include "lighting/device_settings_block.h"
#include "macros/macro_area.h"
#include "texts/text_slots.h"

namespace qv::cli {
namespace {

// Macros the keyboard keeps without a name are named with the lookup file's prefix and their
// number, as everywhere else: the keyboard's session names them so.
std::optional<service::MacroAreaDump> ReadMacros(CommandContext& context) {
    auto read =
        context.keyboard->Call([](service::KeyboardSession& s) { return s.ReadMacroArea(); });
    if (!read.result.Succeeded()) {
        return std::nullopt;
    }
    if (read.value.sizeCut) {
        read.value.decoded.problems.insert(
            read.value.decoded.problems.begin(),
            "the macro area announces more bytes than the keyboard holds");
    }
    return std::move(read.value);
}

int DumpKeys(CommandContext& context, int onlyProfile) {
    const auto pages = context.keyboard->Call([onlyProfile](service::KeyboardSession& s) {
        return s.ReadKeyPages(onlyProfile == 0 ? std::nullopt : std::optional(onlyProfile - 1));
    });
    if (!pages.result.Succeeded()) {
        return Fail(context,
                    "could not read key page " + std::to_string(pages.value.failedProfile + 1) +
                        " (result " + std::to_string(pages.value.result) + ")",
                    kExitDeviceError);
    }
    const auto macroArea = ReadMacros(context);
    const macros::MacroList noMacros;
    const macros::MacroList& macroList = macroArea ? macroArea->decoded.macros : noMacros;

    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (int profile = 0; profile < static_cast<int>(device::kProfileCount); ++profile) {
        if (onlyProfile != 0 && profile != onlyProfile - 1) {
            continue;
        }
        const keys::KeyPage& page = pages.value.pages[static_cast<std::size_t>(profile)];
        const keys::DecodedKeyPage decoded = keys::DecodeKeyPage(page, pages.value.defaults);
        json.push_back({{"profile", profile + 1},
                        {"page", HexBytes(page)},
                        {"assignments", AssignmentsJson(decoded.block, macroList, context.lookup)},
                        {"problems", decoded.problems}});
        text += "Profile " + std::to_string(profile + 1) + "\n" +
                AssignmentsText(decoded.block, macroList, context.lookup);
        for (const std::string& problem : decoded.problems) {
            text += "  warning: " + problem + "\n";
        }
    }
    Print(context, text, json);
    return kExitOk;
}

int DumpMacros(CommandContext& context) {
    const auto dump = ReadMacros(context);
    if (!dump) {
        return Fail(context, "could not read the macro area", kExitDeviceError);
    }
    const macros::DecodedMacroArea* decoded = &dump->decoded;
    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (const macros::MacroRecord& macro : decoded->macros) {
        json.push_back(MacroJson(macro, context.lookup));
        text += MacroText(macro, true, context.lookup);
    }
    if (decoded->macros.empty()) {
        text += "No macros on the keyboard.\n";
    }
    for (const std::string& problem : decoded->problems) {
        text += "warning: " + problem + "\n";
    }
    Print(context, text, {{"macros", json}, {"problems", decoded->problems}});
    return kExitOk;
}

}  // namespace

void AddDumpCommands(CLI::App& app, Command& selected) {
    auto onlyProfile = std::make_shared<int>(0);
    auto* dump = app.add_subcommand("dump", "Show what the keyboard holds, decoded");
    dump->require_subcommand(1);
    dump->footer(
        "\nExamples:\n"
        "  quorvanectl dump keys --profile 1\n"
        "  quorvanectl dump macros");
    auto* keysCmd = dump->add_subcommand(
        "keys", "The key assignments of every profile's key page (or of one profile)");
    keysCmd->add_option("--profile", *onlyProfile, "Profile 1..4")->check(CLI::Range(1, 4));
    keysCmd->footer(
        "\nExamples:\n"
        "  quorvanectl dump keys\n"
        "  quorvanectl --json dump keys --profile 2");
    Select(keysCmd, selected, {Needs::Keyboard, [onlyProfile](CommandContext& context) {
                                   return DumpKeys(context, *onlyProfile);
                               }});
    auto* macrosCmd = dump->add_subcommand("macros", "The macros in the keyboard's macro area");
    macrosCmd->footer(
        "\nExamples:\n"
        "  quorvanectl dump macros\n"
        "  quorvanectl --json dump macros");
    Select(macrosCmd, selected,
           {Needs::Keyboard, [](CommandContext& context) { return DumpMacros(context); }});
}

}  // namespace qv::cli
