#pragma once

// The tool's copy of the keyboard's settings block and lighting area, and where the lighting
// panel's open/closed switch is kept.

#include <array>

#include "core/memory_layout.h"
#include "lighting/device_settings_block.h"
#include "lighting/lighting_record.h"

namespace qv::lighting {

struct LightingMirror {
    DeviceSettingsBlock settings;
    std::array<LightingRecord, layout::kProfileCount> records{};
    // Whether the last read got them: what was not read is not a sound base for a change.
    bool settingsRead = false;
    std::array<bool, layout::kProfileCount> recordsRead{};
};

// Where the lighting panel's open/closed switch is kept ("DengCheck" of the per-key colour
// settings file).
class PanelSwitchStore {
public:
    virtual ~PanelSwitchStore() = default;
    [[nodiscard]] virtual bool PanelSwitchOn() const = 0;
    // Kept each time the panel opens or closes; a switch that cannot be kept only means the
    // next start opens the panel as it was before.
    virtual void SetPanelSwitch(bool on) = 0;
};

// For the callers that show no lighting panel: the switch is off and nothing is kept.
class NoPanelSwitch final : public PanelSwitchStore {
public:
    [[nodiscard]] bool PanelSwitchOn() const override { return false; }
    void SetPanelSwitch(bool) override {}
};

}  // namespace qv::lighting
