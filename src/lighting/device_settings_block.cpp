#include "lighting/device_settings_block.h"

#include <algorithm>

namespace qv::lighting {

bool DeviceSettingsBlock::IsModeSupported(int mode) const {
    return mode != 0 && std::ranges::find(ModeList(), mode) != ModeList().end();
}

}  // namespace qv::lighting
