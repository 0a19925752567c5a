#include "cli/dump_commands.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "assignments/assignment_description.h"
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

struct DumpOptions {
    int profile = 0;  // 0 = all
};

// The keyboard's own default table when it can be read, the built-in one otherwise.
keys::KeyDefaultTable ReadDefaults(device::DeviceCommands& commands) {
    keys::KeyDefaultTable table{};
    if (commands.ReadKeyDefaults(table) != device::kSuccess) {
        return keys::kBuiltInKeyDefaultTable;
    }
    return table;
}

std::optional<macros::DecodedMacroArea> ReadMacros(device::DeviceCommands& commands) {
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
        read.area, Utf8ToUtf16(ui::BuiltInText(ui::TextSlot::MACRO_NEW_PREFIX)));
    if (read.sizeCut) {
        decoded.problems.insert(decoded.problems.begin(),
                                "the macro area announces more bytes than the keyboard holds");
    }
    return decoded;
}

int RunDumpKeys(KeyboardSession& session, const GlobalOptions& options, int onlyProfile) {
    const keys::TextLookupFn lookup = session.Lookup();
    device::DeviceCommands& commands = session.commands();
    const keys::KeyDefaultTable defaults = ReadDefaults(commands);
    const auto macroArea = ReadMacros(commands);
    const macros::MacroList noMacros;
    const macros::MacroList& macroList = macroArea ? macroArea->macros : noMacros;

    nlohmann::json json = nlohmann::json::array();
    for (int profile = 0; profile < static_cast<int>(device::kProfileCount); ++profile) {
        if (onlyProfile != 0 && profile != onlyProfile - 1) {
            continue;
        }
        keys::KeyPage page{};
        if (const int result = commands.ReadKeyPage(page, profile); result != device::kSuccess) {
            std::fprintf(stderr, "quorvanectl: could not read key page %d (result %d)\n",
                         profile + 1, result);
            return kExitDeviceError;
        }
        const keys::DecodedKeyPage decoded = keys::DecodeKeyPage(page, defaults);
        if (options.json) {
            json.push_back({{"profile", profile + 1},
                            {"page", HexBytes(page)},
                            {"assignments", AssignmentsJson(decoded.block, macroList, lookup)},
                            {"problems", decoded.problems}});
            continue;
        }
        std::cout << "Profile " << profile + 1 << "\n"
                  << AssignmentsText(decoded.block, macroList, lookup);
        for (const std::string& problem : decoded.problems) {
            std::cout << "  warning: " << problem << "\n";
        }
    }
    if (options.json) {
        std::cout << json.dump(2) << "\n";
    }
    return kExitOk;
}

int RunDumpMacros(KeyboardSession& session, const GlobalOptions& options) {
    const keys::TextLookupFn lookup = session.Lookup();
    const auto decoded = ReadMacros(session.commands());
    if (!decoded) {
        std::fprintf(stderr, "quorvanectl: could not read the macro area\n");
        return kExitDeviceError;
    }
    nlohmann::json json = nlohmann::json::array();
    for (const macros::MacroRecord& macro : decoded->macros) {
        if (options.json) {
            json.push_back(MacroJson(macro, lookup));
        } else {
            std::cout << MacroText(macro, true, lookup);
        }
    }
    if (options.json) {
        std::cout << nlohmann::json{{"macros", json}, {"problems", decoded->problems}}.dump(2)
                  << "\n";
    } else {
        if (decoded->macros.empty()) {
            std::cout << "No macros on the keyboard.\n";
        }
        for (const std::string& problem : decoded->problems) {
            std::cout << "warning: " << problem << "\n";
        }
    }
    return kExitOk;
}

}  // namespace

void AddDumpCommands(CLI::App& app, CommandRunner& selected) {
    auto options = std::make_shared<DumpOptions>();
    auto* dump = app.add_subcommand("dump", "Show what the keyboard holds, decoded");
    dump->require_subcommand(1);
    auto* keysCmd = dump->add_subcommand(
        "keys", "The key assignments of every profile's key page (or of one profile)");
    keysCmd->add_option("--profile", options->profile, "Profile 1..4")->check(CLI::Range(1, 4));
    keysCmd->callback([&selected, options] {
        selected = [options](KeyboardSession& session, const GlobalOptions& global) {
            return RunDumpKeys(session, global, options->profile);
        };
    });
    dump->add_subcommand("macros", "The macros in the keyboard's macro area")
        ->callback([&selected] { selected = RunDumpMacros; });
}

}  // namespace qv::cli
