#include "driver/active_profile.h"

#include "core/memory_layout.h"
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
    // A byte outside 0..3 names no profile: it is not an index for anything.
    const int profile = block.ActiveProfile();
    if (!layout::IsProfileIndex(profile)) {
        return kUnknown;
    }
    CurrentProfileIndex.store(profile);
    return profile;
}

int ActiveProfileCache::SetActiveProfile(device::DeviceCommands& commands, int profile) {
    if (profile < 0) {
        return device::kSuccess;
    }
    DeviceSettingsBlock block;
    if (const int read = commands.ReadSettings(block.bytes()); read != device::kSuccess) {
        return read;
    }
    block.SetActiveProfile(profile);
    const int written = commands.WriteSettings(block.bytes());
    CurrentProfileIndex.store(written == device::kSuccess ? profile : kUnknown);
    return written;
}

}  // namespace qv::driver
