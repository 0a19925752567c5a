#include "driver/keyboard_driver.h"

namespace qv::driver {
namespace {

// Reads of the lighting for a caller that shows no panel.
class NoPanelSwitch final : public lighting::PanelSwitchStore {
public:
    bool PanelSwitchOn() const override { return false; }
    void SetPanelSwitch(bool) override {}
};

}  // namespace

int KeyboardDriver::ReadSettings(lighting::DeviceSettingsBlock& block) {
    return commands_.ReadSettings(block.bytes());
}

int KeyboardDriver::ReadKeyDefaults(keys::KeyDefaultTable& table) {
    return commands_.ReadKeyDefaults(table);
}

KeyPagesRead KeyboardDriver::ReadKeyPages(std::optional<int> onlyProfile) {
    KeyPagesRead read;
    keys::KeyDefaultTable table{};
    if (commands_.ReadKeyDefaults(table) == device::kSuccess) {
        read.defaults = table;
    }
    for (int profile = 0; profile < static_cast<int>(device::kProfileCount); ++profile) {
        if (onlyProfile && profile != *onlyProfile) {
            continue;
        }
        const int result =
            commands_.ReadKeyPage(read.pages[static_cast<std::size_t>(profile)], profile);
        if (result != device::kSuccess) {
            read.result = result;
            read.failedProfile = profile;
            break;
        }
    }
    return read;
}

macros::MacroAreaRead KeyboardDriver::ReadMacroArea() {
    lighting::DeviceSettingsBlock settings;
    if (const int result = commands_.ReadSettings(settings.bytes()); result != device::kSuccess) {
        macros::MacroAreaRead failed;
        failed.result = result;
        return failed;
    }
    return macros::ReadMacroAreaFromDevice(commands_, settings.MacroCapacity());
}

int KeyboardDriver::ReadLightingRecord(int profile, std::uint8_t length,
                                       std::array<std::uint8_t, device::kPayloadSize>& bytes) {
    return commands_.ReadLighting(bytes, length, lighting::RecordOffset(profile));
}

std::optional<lighting::LightingMirror> KeyboardDriver::ReadLightingMirror() {
    NoPanelSwitch panelSwitch;
    lighting::DeviceLighting lighting(commands_, panelSwitch);
    if (lighting.ReadLighting(lighting::DeviceLighting::ReadKind::Refresh) != 0) {
        return std::nullopt;
    }
    return lighting.mirror();
}

lighting::LightingWriteResult KeyboardDriver::WriteColours(const lighting::ColourWrite& write) {
    return lighting::SendColourWrite(commands_, write);
}

}  // namespace qv::driver
