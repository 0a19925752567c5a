#pragma once

#include <string>
#include <variant>
#include <vector>

#include "device/commands.h"
#include "lighting/device_settings_block.h"

namespace qv::cli {

// What `quorvanectl info` shows, decoded from the settings block.
struct KeyboardInfo {
    int firmwareVersion = 0;
    int activeProfile = 0;  // 0..3
    int macroCapacityBytes = 0;
    std::vector<int> supportedModes;
};

[[nodiscard]] KeyboardInfo KeyboardInfoFromSettings(const lighting::DeviceSettingsBlock& block);
// The info, or the command result of the failed read.
[[nodiscard]] std::variant<KeyboardInfo, int> ReadKeyboardInfo(device::DeviceCommands& commands);
[[nodiscard]] std::string FormatInfoText(const KeyboardInfo& info);
[[nodiscard]] std::string FormatInfoJson(const KeyboardInfo& info);

}  // namespace qv::cli
