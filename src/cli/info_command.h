#pragma once

// `info`: firmware version, active profile, macro capacity and how much of it the macros take,
// and lighting modes.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "device/commands.h"
#include "editing/macro_memory_meter.h"
#include "lighting/device_settings_block.h"

namespace qv::cli {

// What `quorvanectl info` shows, decoded from the settings block.
struct KeyboardInfo {
    int firmwareVersion = 0;
    int activeProfile = 0;  // 0..3
    int macroCapacityBytes = 0;
    std::vector<int> supportedModes;
    // The working image's macros against the capacity, where more than the settings block is
    // shown; nothing when the macros could not be read.
    bool showMacroMemory = false;
    std::optional<macros::MacroMemoryMeter> macroMemory;
    bool pendingIncluded = false;
};

[[nodiscard]] KeyboardInfo KeyboardInfoFromSettings(const lighting::DeviceSettingsBlock& block);
[[nodiscard]] std::string FormatInfoText(const KeyboardInfo& info);
[[nodiscard]] nlohmann::json InfoJson(const KeyboardInfo& info);

void AddInfoCommand(CLI::App& app, Command& selected);

}  // namespace qv::cli
