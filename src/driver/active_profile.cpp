#include "driver/active_profile.h"

#include "device/command_result.h"
#include "lighting/device_settings_block.h"

namespace qv::driver {

using namespace lighting;

int ActiveProfileCache::GetActiveProfile(device::DeviceCommands& commands) {
    if (const int cached = CurrentProfileIndex.load(); cached != kUnknown) {
        return cached;
    }
    DeviceSettingsBlock block;
    if (commands.ReadSettings(block.bytes()) != device::kSuccess) {
        return kUnknown;
    }
    CurrentProfileIndex.store(block.ActiveProfile());
    return block.ActiveProfile();
}

void ActiveProfileCache::SetActiveProfile(device::DeviceCommands& commands, int profile) {
    if (profile < 0) {
        return;
    }
    DeviceSettingsBlock block;
    if (commands.ReadSettings(block.bytes()) != device::kSuccess) {
        return;
    }
    block.SetActiveProfile(profile);
    CurrentProfileIndex.store(commands.WriteSettings(block.bytes()) == device::kSuccess ? profile
                                                                                        : kUnknown);
}

}  // namespace qv::driver
