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
#include "keys/key_code.h"
#include "keys/key_page.h"
#include "lighting/device_settings_block.h"
#include "macros/macro_area.h"
#include "macros/macro_area_reader.h"
#include "ui/text_slots.h"

namespace qv::cli {
namespace {

// The keyboard's own default table when it can be read, the built-in one otherwise.
keys::KeyDefaultTable ReadDefaults(device::DeviceCommands& commands) {
    keys::KeyDefaultTable table{};
    if (commands.ReadKeyDefaults(table) != device::kSuccess) {
        return keys::kBuiltInKeyDefaultTable;
    }
    return table;
}

// Macros the keyboard keeps without a name are named with the lookup file's prefix and their
// number, as everywhere else.
std::optional<macros::DecodedMacroArea> ReadMacros(const CommandContext& context,
                                                   device::DeviceCommands& commands) {
    lighting::DeviceSettingsBlock settings;
    if (commands.ReadSettings(settings.bytes()) != device::kSuccess) {
        return std::nullopt;
    }
    const macros::MacroAreaRead read =
        macros::ReadMacroAreaFromDevice(commands, settings.MacroCapacity());
    if (read.result != device::kSuccess) {
        return std::nullopt;
    }
    macros::DecodedMacroArea decoded = macros::DecodeMacroArea(
        read.area,
        Utf8ToUtf16(context.lookup(std::string(ui::BuiltInText(ui::TextSlot::MACRO_NEW_PREFIX)))));
    if (read.sizeCut) {
        decoded.problems.insert(decoded.problems.begin(),
                                "the macro area announces more bytes than the keyboard holds");
    }
    return decoded;
}

int DumpKeys(CommandContext& context, device::DeviceCommands& commands, int onlyProfile) {
    const keys::KeyDefaultTable defaults = ReadDefaults(commands);
    const auto macroArea = ReadMacros(context, commands);
    const macros::MacroList noMacros;
    const macros::MacroList& macroList = macroArea ? macroArea->macros : noMacros;

    nlohmann::json json = nlohmann::json::array();
    std::string text;
    for (int profile = 0; profile < static_cast<int>(device::kProfileCount); ++profile) {
        if (onlyProfile != 0 && profile != onlyProfile - 1) {
            continue;
        }
        keys::KeyPage page{};
        if (const int result = commands.ReadKeyPage(page, profile); result != device::kSuccess) {
            return Fail(context,
                        "could not read key page " + std::to_string(profile + 1) + " (result " +
                            std::to_string(result) + ")",
                        kExitDeviceError);
        }
        const keys::DecodedKeyPage decoded = keys::DecodeKeyPage(page, defaults);
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

int DumpMacros(CommandContext& context, device::DeviceCommands& commands) {
    const auto decoded = ReadMacros(context, commands);
    if (!decoded) {
        return Fail(context, "could not read the macro area", kExitDeviceError);
    }
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
                                   return context.keyboard->Call([&](service::KeyboardSession& s) {
                                       return DumpKeys(context, s.Commands(), *onlyProfile);
                                   });
                               }});
    auto* macrosCmd = dump->add_subcommand("macros", "The macros in the keyboard's macro area");
    macrosCmd->footer(
        "\nExamples:\n"
        "  quorvanectl dump macros\n"
        "  quorvanectl --json dump macros");
    Select(macrosCmd, selected,
           {Needs::Keyboard, [](CommandContext& context) {
                return context.keyboard->Call(
                    [&](service::KeyboardSession& s) { return DumpMacros(context, s.Commands()); });
            }});
}

}  // namespace qv::cli
