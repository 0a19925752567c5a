#include "lighting/lighting_change.h"

#include "lighting/mode_catalogue.h"
#include "lighting/mode_index_table.h"

namespace qv::lighting {

std::optional<LightingRefusal> CheckLightingChange(const DeviceSettingsBlock& settings,
                                                   const LightingChange& change) {
    if (change.control != LightingChange::Control::Mode) {
        return std::nullopt;
    }
    ModeIndexTable modes;
    modes.Fill(settings.ModeList());
    if (change.value <= 0 || modes.ModePositionOf(change.value) < 0) {
        return LightingRefusal::NoSuchMode;
    }
    if (!HasCatalogueEntry(change.value)) {
        return LightingRefusal::ModeWithoutSettings;
    }
    return std::nullopt;
}

}  // namespace qv::lighting
