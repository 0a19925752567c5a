#include "cli/info_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/cli_keyboard.h"
#include "cli/cli_output.h"
#include "cli/exit_codes.h"
#include "cli/macro_editing.h"
#include "cli/working_image.h"
#include "device/command_result.h"

namespace qv::cli {

KeyboardInfo KeyboardInfoFromSettings(const lighting::DeviceSettingsBlock& block) {
    KeyboardInfo info;
    info.firmwareVersion = block.FirmwareVersion();
    info.activeProfile = block.ActiveProfile();
    info.macroCapacityBytes = static_cast<int>(block.MacroCapacity());
    for (std::uint8_t mode : block.ModeList()) {
        if (mode != 0) {
            info.supportedModes.push_back(mode);
        }
    }
    return info;
}

std::string FormatInfoText(const KeyboardInfo& info) {
    char version[16];
    std::snprintf(version, sizeof version, "0x%04X", static_cast<unsigned>(info.firmwareVersion));
    std::string modes;
    for (int mode : info.supportedModes) {
        modes += (modes.empty() ? "" : " ") + std::to_string(mode);
    }
    std::string memory;
    if (info.showMacroMemory) {
        memory = "\nMacro memory:     ";
        if (!info.macroMemory) {
            memory += "not known: the keyboard's macros could not be read";
        } else {
            memory += MemoryFigure(*info.macroMemory) +
                      (info.pendingIncluded ? ", pending edits included" : "");
        }
    }
    return std::string("Firmware version: ") + version +
           "\nActive profile:   " + std::to_string(info.activeProfile + 1) +
           "\nMacro capacity:   " + std::to_string(info.macroCapacityBytes) + " bytes" + memory +
           "\nLighting modes:   " + (modes.empty() ? "none" : modes) + "\n";
}

nlohmann::json InfoJson(const KeyboardInfo& info) {
    nlohmann::json json = {
        {"firmwareVersion", info.firmwareVersion},
        {"activeProfile", info.activeProfile + 1},
        {"macroCapacityBytes", info.macroCapacityBytes},
        {"supportedModes", info.supportedModes},
    };
    if (info.showMacroMemory) {
        json["macroMemory"] = info.macroMemory ? MemoryJson(*info.macroMemory) : nlohmann::json();
        if (info.macroMemory) {
            json["macroMemory"]["pendingIncluded"] = info.pendingIncluded;
        }
    }
    return json;
}

namespace {

int RunInfo(CommandContext& context) {
    const auto read =
        context.keyboard->Call([](service::KeyboardSession& s) { return s.ReadSettingsBlock(); });
    const lighting::DeviceSettingsBlock& block = read.value;
    if (const int result = read.result.commandResult; !read.result.Succeeded()) {
        return Fail(context, "the keyboard did not answer (result " + std::to_string(result) + ")",
                    kExitDeviceError);
    }
    KeyboardInfo info = KeyboardInfoFromSettings(block);
    info.showMacroMemory = true;
    if (const auto working = PeekWorkingMacros(context)) {
        info.macroMemory = macros::MeasureMacroMemory(
            working->macros, static_cast<std::size_t>(info.macroCapacityBytes));
        info.pendingIncluded = working->pendingIncluded;
    }
    Print(context, FormatInfoText(info), InfoJson(info));
    return kExitOk;
}

}  // namespace

void AddInfoCommand(CLI::App& app, Command& selected) {
    auto* info = app.add_subcommand(
        "info",
        "Show the firmware version, active profile, macro capacity (and how much of it the macros "
        "take) and lighting modes");
    info->footer(
        "\nExamples:\n"
        "  quorvanectl info\n"
        "  quorvanectl --json info\n"
        "  quorvanectl --keyboard=sim info     the simulated keyboard");
    Select(info, selected, {Needs::Keyboard, RunInfo});
}

}  // namespace qv::cli
