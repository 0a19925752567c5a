#include "lighting/device_lighting.h"

#include <algorithm>

#include "device/command_result.h"

namespace qv::lighting {

int DeviceLighting::ReadLighting(ReadKind kind, const std::function<void()>& userSchemes) {
    modeIndex_.Clear();
    mirror_.settings.ClearModeList();
    DeviceSettingsBlock block;
    if (ReadSettingsBlock(block) != device::kSuccess) {
        return -1;
    }
    mirror_.settings = block;
    modeIndex_.Fill(block.ModeList());

    (void)commands_.BeginTransfer();
    if (kind == ReadKind::Reconnect && block.IsModeSupported(kPerKeyColourMode) && userSchemes) {
        userSchemes();
    }
    for (int profile = 0; profile < static_cast<int>(device::kProfileCount); ++profile) {
        std::array<std::uint8_t, device::kPayloadSize> bytes{};
        if (commands_.ReadLighting(bytes, kRecordReadLength, RecordOffset(profile)) ==
            device::kSuccess) {
            LightingRecord& record = mirror_.records[static_cast<std::size_t>(profile)];
            std::ranges::copy(bytes, record.begin());
        }
    }
    (void)commands_.EndTransfer();

    const bool wasOpen = state_.lightingPanelOpen;
    state_ =
        DecodeLightingState(mirror_.records[static_cast<std::size_t>(currentProfile_)], state_);
    const bool switchOn = panelSwitch_.PanelSwitchOn();
    state_.lightingPanelOpen = kind == ReadKind::Reconnect ? switchOn : (wasOpen || switchOn);
    return 0;
}

LightingWriteResult DeviceLighting::WriteLightingBytes(std::uint16_t areaOffset, Bytes bytes) {
    return WriteLightingBytes({{areaOffset, bytes}});
}

LightingWriteResult DeviceLighting::WriteLightingBytes(
    std::initializer_list<std::pair<std::uint16_t, Bytes>> writes) {
    return WriteLightingBytes(std::span(writes.begin(), writes.size()));
}

LightingWriteResult DeviceLighting::WriteLightingBytes(
    std::span<const std::pair<std::uint16_t, Bytes>> writes) {
    LightingWriteResult result;
    const auto note = [&result](int commandResult, bool wroteBytes) {
        if (result.Succeeded() && commandResult != device::kSuccess) {
            result.commandResult = commandResult;
        }
        // A write that was not answered may still have been executed.
        result.mayBePartlyWritten = result.mayBePartlyWritten || wroteBytes;
    };
    note(commands_.BeginTransfer(), false);
    for (const auto& [offset, bytes] : writes) {
        note(commands_.WriteLighting(bytes, offset), true);
    }
    note(commands_.EndTransfer(), false);
    if (result.Succeeded()) {
        result.mayBePartlyWritten = false;
    }
    return result;
}

LightingWriteResult DeviceLighting::RestoreLightingDefaults() {
    const LightingWriteResult result =
        WriteLightingBytes(RecordOffset(currentProfile_), kDefaultLightingBytes);
    state_.mode = 1;
    state_.brightness = 4;
    state_.speed = 2;
    state_.direction = 0;
    state_.multicolour = true;
    state_.colour = 0xFFFFFF;
    state_.reportRate = 0;
    return result;
}

}  // namespace qv::lighting
