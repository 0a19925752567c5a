#include "driver/keyboard_driver.h"

#include "driver/colour_writes.h"

namespace qv::driver {

std::uint16_t KeyboardDriver::ReadFirmwareVersion() {
    lighting::DeviceSettingsBlock block;
    return commands_.ReadSettings(block.bytes()) == device::kSuccess ? block.FirmwareVersion() : 0;
}

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

MacroAreaRead KeyboardDriver::ReadMacroArea() {
    lighting::DeviceSettingsBlock settings;
    if (const int result = commands_.ReadSettings(settings.bytes()); result != device::kSuccess) {
        MacroAreaRead failed;
        failed.result = result;
        return failed;
    }
    return ReadMacroAreaFromDevice(commands_, settings.MacroCapacity());
}

std::optional<lighting::LightingMirror> KeyboardDriver::ReadLightingMirror() {
    lighting::NoPanelSwitch panelSwitch;
    DeviceLighting lighting(commands_, panelSwitch);
    if (lighting.ReadLighting(DeviceLighting::ReadKind::Refresh) != 0) {
        return std::nullopt;
    }
    return lighting.mirror();
}

LightingWriteResult KeyboardDriver::WriteColours(const lighting::ColourWrite& write) {
    return SendColourWrite(commands_, write);
}

CaptureResult KeyboardDriver::Capture(int activeProfile, const profiles::DeviceFacts& facts,
                                      std::u16string_view newMacroNamePrefix) {
    return CaptureDevice(commands_, activeProfile, facts, newMacroNamePrefix);
}

CaptureResult KeyboardDriver::CaptureToFile(const std::filesystem::path& path, int activeProfile,
                                            const profiles::DeviceFacts& facts,
                                            std::u16string_view newMacroNamePrefix) {
    return CaptureDeviceToProfileFile(path, commands_, activeProfile, facts, newMacroNamePrefix);
}

DeviceWriteResult KeyboardDriver::WriteImage(profiles::ProfileImage& image,
                                             profiles::DeviceImage& device, PageSelection pages,
                                             const keys::KeyDefaultTable& keyDefaults,
                                             std::size_t macroCapacity, int activeProfile) {
    const DeviceWriteContext context{commands_, keyDefaults, macroCapacity, activeProfile};
    return ApplyImageToDevice(image, device, pages, context);
}

}  // namespace qv::driver
