#include "service/firmware_check.h"

#include <string>
#include <thread>

namespace qv::service {

FirmwareVerdict CheckFirmwareVersion(const FirmwareCheckParts& parts) {
    if (IsFirmwareSupported(parts.version)) {
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
