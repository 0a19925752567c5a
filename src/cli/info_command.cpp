#include "cli/info_command.h"

#include <cstdio>
#include <nlohmann/json.hpp>

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

std::variant<KeyboardInfo, int> ReadKeyboardInfo(device::DeviceCommands& commands) {
    lighting::DeviceSettingsBlock block;
    const int result = commands.ReadSettings(block.bytes());
    if (result != device::kSuccess) {
        return result;
    }
    return KeyboardInfoFromSettings(block);
}

std::string FormatInfoText(const KeyboardInfo& info) {
    char version[16];
    std::snprintf(version, sizeof version, "0x%04X", static_cast<unsigned>(info.firmwareVersion));
    std::string modes;
    for (int mode : info.supportedModes) {
        modes += (modes.empty() ? "" : " ") + std::to_string(mode);
    }
    return std::string("Firmware version: ") + version +
           "\nActive profile:   " + std::to_string(info.activeProfile + 1) +
           "\nMacro capacity:   " + std::to_string(info.macroCapacityBytes) + " bytes" +
           "\nLighting modes:   " + (modes.empty() ? "none" : modes) + "\n";
}

std::string FormatInfoJson(const KeyboardInfo& info) {
    nlohmann::json json{
        {"firmwareVersion", info.firmwareVersion},
        {"activeProfile", info.activeProfile + 1},
        {"macroCapacityBytes", info.macroCapacityBytes},
        {"supportedModes", info.supportedModes},
    };
    return json.dump(2) + "\n";
}

}  // namespace qv::cli
