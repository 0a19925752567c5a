#include "service/firmware_check.h"

#include <string>
#include <thread>

#include "device/command_result.h"
#include "lighting/device_settings_block.h"

namespace qv::service {

FirmwareVerdict CheckFirmwareVersion(const FirmwareCheckParts& parts) {
    lighting::DeviceSettingsBlock block;
    const std::uint16_t version = parts.commands.ReadSettings(block.bytes()) == device::kSuccess
                                      ? block.FirmwareVersion()
                                      : 0;
    if (IsFirmwareSupported(version)) {
        return FirmwareVerdict::Supported;
    }
    std::this_thread::sleep_for(parts.pause);
    if (parts.prompt.AskOkCancelTitled(std::string(kFirmwareTooOldText),
                                       std::string(kFirmwareTooOldCaption))) {
        std::this_thread::sleep_for(parts.pause);
        // A failed start ends the tool all the same: it cannot work with this keyboard.
        (void)parts.launcher.Start(kUpdaterProgram, kUpdaterParameters, parts.helpFolder);
    }
    parts.exit.EndProgram(0);
    return FirmwareVerdict::ProgramEnds;
}

}  // namespace qv::service
